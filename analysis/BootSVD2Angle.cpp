#include "analysis/BootSVD2Angle.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>

#include "analysis/analysis_record.hpp"
#include "analysis/two_block_pls.hpp"
#include "io/number_parse.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

// The one number of a box, or a message naming the box and nothing.
std::optional<double> box_number(AppContext& ctx, const char* tag, const char* what) {
    const std::string text = ctx.ui.control(tag).string();
    std::vector<double> v;
    try {
        v = parse_numbers(text);
    } catch (const Error&) {
        ctx.ui.message_box(
            cformat("The %s (%s) is not a number: %s", what, tag, quote_token(text).c_str()));
        return std::nullopt;
    }
    if (v.empty()) {
        ctx.ui.message_box(cformat("The %s (%s) is empty", what, tag));
        return std::nullopt;
    }
    if (v.size() > 1) {
        ctx.ui.message_box(
            cformat("The %s (%s) must hold one number: %s", what, tag, quote_token(text).c_str()));
        return std::nullopt;
    }
    return v[0];
}

std::optional<int> bootstrap_count(AppContext& ctx) {
    const std::optional<double> n = box_number(ctx, "BootBox", "number of bootstraps");
    if (!n)
        return std::nullopt;
    if (!(*n >= 1 && *n <= INT_MAX && std::floor(*n) == *n)) {
        ctx.ui.message_box(
            cformat("The number of bootstraps (BootBox) must be a whole number "
                    "of at least 1, not %g",
                    *n));
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

void lowest_alpha_message(AppContext& ctx, int nboots) {
    ctx.ui.notice(
        cformat("The lowest alpha level obtainable with this number of bootstraps is %2.5f ",
                1.0 / nboots));
}

// Axis k is null when its singular value is numerically zero in either group.
RowVector observed_angles(const Matrix& a, const Matrix& b, const Matrix& sbee2,
                          const Matrix& sbee2g, Index numsvd) {
    RowVector angles(numsvd);
    for (Index k = 0; k < numsvd; ++k) {
        const bool null = k >= std::min(sbee2g.rows(), sbee2g.cols()) || is_null_axis(sbee2, k) ||
                          is_null_axis(sbee2g, k);
        angles(k) = null ? std::numeric_limits<double>::quiet_NaN() : axis_angle(a, b, k);
    }
    return angles;
}

void same_specimens(const Matrix& b1, const Matrix& b2, int group) {
    if (b1.rows() != b2.rows()) {
        throw Error(
            cformat("block 1 and block 2 of group %i have %i and %i specimens; run "
                    "DoSVD2 on matching blocks first",
                    group, static_cast<int>(b1.rows()), static_cast<int>(b2.rows())));
    }
}

// The number of axes of a replicate of one group, from the sizes of its blocks.
Index replicate_axes(const Matrix& b1, const Matrix& b2, bool landmarks2) {
    const Index q1 = b1.cols() - 5;  // 2k - 4 shape variables of 2k + 1 columns
    const Index q2 = landmarks2 ? b2.cols() - 5 : b2.cols();
    return std::min(q1, q2);
}

// Replicates always named on the console, before it goes over to every tenth part of the run.
constexpr int kEchoedReplicates = 10;

// Closes the progress dialog however the action ends.
struct ProgressDone {
    Platform& ui;
    ~ProgressDone() { ui.progress(1.0, "Bootstrap"); }
};

}  // namespace

void BootSVD2Angle(AppContext& ctx) {
    // The boxes are checked before anything changes.
    const std::optional<int> count = bootstrap_count(ctx);
    if (!count)
        return;
    const int nboots = *count;
    const std::optional<double> alpha = box_number(ctx, "AlphaBox", "alpha level");
    if (!alpha)
        return;
    const BootIndices idx = boot_indices(nboots, *alpha);
    if (idx.rangepoint < 1) {
        if (idx.alpha_raised)
            lowest_alpha_message(ctx, nboots);
        ctx.ui.message_box(
            cformat("No bound of the angles at alpha = %2.5f with %i bootstraps: the bound's row "
                    "ceil(%i x (1 - alpha)) = %.0f is below 1. Use more bootstraps or an alpha "
                    "below 1.",
                    idx.alpha, nboots, nboots, idx.rangepoint));
        return;
    }

    Session& v = ctx.vars;
    v.set("homology2", ctx.ui.control("HomologyButton").value());
    const bool homology2 = v.flag("homology2");

    // Everything the report needs is looked up before the replicates run.
    const Matrix& sbee2 = v.require("sbee2");
    const Matrix& sbee2g = v.require("sbee2g");
    const Matrix& ubee2 = v.require("ubee2");
    const Matrix& ubee2g = v.require("ubee2g");
    const double scor2 = v.require("scor2")(0);
    const double scor2g = v.require("scor2g")(0);
    BootstrapInput in;
    in.data1 = v.require("data1");
    in.data2 = v.require("data2");
    in.data1g = v.require("data1g");
    in.data2g = v.require("data2g");
    in.landmarks2 = v.flag("activem2");
    in.homology2 = homology2;
    in.nboots = nboots;
    in.bound_row = static_cast<Index>(idx.rangepoint) - 1;
    same_specimens(in.data1, in.data2, 1);
    same_specimens(in.data1g, in.data2g, 2);

    const Index numsvd = std::min(sbee2.rows(), sbee2.cols());
    BootReportInput report;
    report.nboots = nboots;
    report.idx = idx;
    report.homology2 = homology2;
    report.scor2 = scor2;
    report.scor2g = scor2g;
    report.obsangle1 = observed_angles(ubee2, ubee2g, sbee2, sbee2g, numsvd);
    if (homology2) {
        report.obsangle2 =
            observed_angles(v.require("vbee2g"), v.require("vbee2"), sbee2, sbee2g, numsvd);
    }
    for (Index k = 0; k < numsvd; ++k)
        ctx.ui.console(cformat("homology2 = %g", v.scalar("homology2")));
    if (replicate_axes(in.data1, in.data2, in.landmarks2) != numsvd ||
        replicate_axes(in.data1g, in.data2g, in.landmarks2) != numsvd) {
        throw Error(
            "the loaded blocks no longer have the sizes of the last analysis; run DoSVD2 "
            "again");
    }

    v.set("referencetype2", 0.0);
    v.set("referencetype1", 0.0);

    std::optional<BootstrapTables> tables;
    {
        ProgressDone done{ctx.ui};
        BootstrapMonitor monitor;
        // The console hears of the first replicates of each set and then of every tenth part,
        // so that a long run neither floods it nor goes quiet.
        const int step = std::max(1, nboots / 10);
        monitor.replicate_done = [&, step](int set, int r) {
            if (r <= kEchoedReplicates || r % step == 0 || r == nboots)
                ctx.ui.console(cformat("set %i, replicate %i", set, r));
        };
        monitor.keep_going = [&](double fraction) {
            return ctx.ui.progress(fraction,
                                   cformat("Bootstrap of %i replicates per group", nboots));
        };
        try {
            tables = run_bootstrap(in, ctx.resampling, monitor);
        } catch (const std::bad_alloc&) {
            throw Error(cformat("%i bootstraps per group need more memory than there is (BootBox)",
                                nboots));
        } catch (const std::length_error&) {
            throw Error(cformat("%i bootstraps per group need more memory than there is (BootBox)",
                                nboots));
        }
    }
    if (!tables) {
        ctx.ui.console("BootSVD2Angle cancelled; nothing reported");
        return;
    }

    const auto& first = tables->set1.first_angles();
    ctx.ui.console(
        cformat("Unsorted block 1 and block 2 angles of the first axis, group 1 "
                "(first %i replicates):",
                static_cast<int>(first.size())));
    for (const auto& [a1, a2] : first)
        ctx.ui.console(cformat("%g %g", a1, a2));
    if (idx.alpha_raised)
        lowest_alpha_message(ctx, nboots);
    ctx.ui.console(cformat("rangepoint = %.0f", idx.rangepoint));

    // The replicates stay for the bootstrap's picture: angles per replicate (rows) and axis.
    v.set("bangle1", tables->set1.kept_angles(1));
    v.set("bangle2", tables->set1.kept_angles(2));
    v.set("bangle1g", tables->set2.kept_angles(1));
    v.set("bangle2g", tables->set2.kept_angles(2));
    v.set("balpha", idx.alpha);

    const std::string text = bootstrap_report(report, *tables);
    ctx.ui.console(observed_correlation_line(1, scor2));
    ctx.ui.console(observed_correlation_line(2, scor2g));
    if (homology2)
        ctx.ui.console("\n\nBlock2");
    show_report(ctx, text);
    analysis_record(ctx).bootstrap = BootstrapRecord{report, std::move(*tables), ctx.resampling};
    if (homology2)
        ctx.ui.console("Active homology 2");
}

}  // namespace tesvane
