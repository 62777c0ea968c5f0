#include "analysis/permutation_test_action.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/DoSVD2.hpp"
#include "analysis/analysis_record.hpp"
#include "analysis/permutation_report.hpp"
#include "analysis/permutation_results_store.hpp"
#include "analysis/permutation_summary.hpp"
#include "analysis/permutation_test.hpp"
#include "analysis/two_block_pls.hpp"
#include "io/number_parse.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

// A missing check box counts as unticked, so that DoSVD2 runs as before on a platform that
// has no such control.
bool permutations_asked(AppContext& ctx) {
    const Control* c = ctx.ui.find_control("PermuteButton");
    return c && c->value() != 0;
}

const char* block2_name(bool landmarks2, bool g1) {
    if (landmarks2)
        return g1 ? "pw2" : "pw2g";
    return g1 ? "data2" : "data2g";
}

// DoSVD2 returns early, after its message, only when a group's blocks differ in specimen count;
// an analysis that ran to its end left matching blocks and both decompositions.
bool analysis_complete(const Session& v) {
    const bool landmarks2 = v.flag("activem2");
    const Matrix& pw1 = v.matrix("pw1");
    const Matrix& pw1g = v.matrix("pw1g");
    return !v.empty("sbee2") && !v.empty("sbee2g") && pw1.size() > 0 && pw1g.size() > 0 &&
           pw1.rows() == v.matrix(block2_name(landmarks2, true)).rows() &&
           pw1g.rows() == v.matrix(block2_name(landmarks2, false)).rows();
}

std::optional<int> permutation_count(AppContext& ctx) {
    const std::string text = ctx.ui.control("PermBox").string();
    std::vector<double> v;
    try {
        v = parse_numbers(text);
    } catch (const Error&) {
        v.clear();
    }
    if (v.size() != 1 || !(v[0] >= 1 && v[0] <= INT_MAX && std::floor(v[0]) == v[0])) {
        ctx.ui.message_box(
            cformat("The number of permutations (PermBox) must be a whole number of at least 1, "
                    "not %s",
                    quote_token(text).c_str()));
        return std::nullopt;
    }
    return static_cast<int>(v[0]);
}

// One group's blocks as DoSVD2 decomposed them: centred shape scores without cs, and block 2
// centred, divided by n when it holds variables.
PermutationBlocks group_blocks(const Session& v, bool g1) {
    const bool landmarks2 = v.flag("activem2");
    const Matrix& pw1 = v.require(g1 ? "pw1" : "pw1g");
    const Matrix& b2 = v.require(block2_name(landmarks2, g1));
    PermutationBlocks b;
    b.block1 = centre_columns(pw1.leftCols(pw1.cols() - 1));
    if (landmarks2) {
        b.block2 = centre_columns(b2.leftCols(b2.cols() - 1));
        b.divisor = 1.0;
        b.scale = 1.0;  // shape scores of unit-size forms
    } else {
        b.block2 = centre_columns(b2);
        b.divisor = static_cast<double>(pw1.rows());
        b.scale = b2.size() ? b2.cwiseAbs().maxCoeff() : 0.0;
    }
    return b;
}

// The angles of the angle report, not-a-number on a null axis.
RowVector report_angles(const Matrix& a, const Matrix& b, const Matrix& sbee2,
                        const Matrix& sbee2g) {
    const Index numsvd = std::min({sbee2.rows(), sbee2.cols(), sbee2g.rows(), sbee2g.cols()});
    RowVector angles(numsvd);
    for (Index i = 0; i < numsvd; ++i) {
        angles(i) = is_null_axis(sbee2, i) || is_null_axis(sbee2g, i)
                        ? std::numeric_limits<double>::quiet_NaN()
                        : axis_angle(a, b, i);
    }
    return angles;
}

struct ProgressDone {
    Platform& ui;
    ~ProgressDone() { ui.progress(1.0, "Permutation tests"); }
};

}  // namespace

void analysis_then_permutations(AppContext& ctx) {
    // Earlier resampling results belong to the earlier analysis.
    clear_permutation_results(ctx.vars);
    analysis_record(ctx).bootstrap.reset();
    analysis_record(ctx).permutations.reset();
    DoSVD2(ctx);
    if (permutations_asked(ctx) && analysis_complete(ctx.vars))
        permutation_tests(ctx);
}

void permutation_tests(AppContext& ctx) {
    const std::optional<int> count = permutation_count(ctx);
    if (!count)
        return;
    const Session& v = ctx.vars;
    const ResamplingSettings settings = ctx.resampling;

    PermutationInput in;
    in.group1 = group_blocks(v, true);
    in.group2 = group_blocks(v, false);
    in.permutations = *count;

    PermutationReportInput report;
    const Matrix& sbee2 = v.require("sbee2");
    const Matrix& sbee2g = v.require("sbee2g");
    const Matrix& ubee2 = v.require("ubee2");
    report.q1 = ubee2.rows();
    report.obsangle1 = report_angles(ubee2, v.require("ubee2g"), sbee2, sbee2g);
    if (v.flag("homology2")) {
        const Matrix& vbee2 = v.require("vbee2");
        report.q2 = vbee2.rows();
        report.obsangle2 = report_angles(v.require("vbee2g"), vbee2, sbee2, sbee2g);
    }

    ctx.ui.console(cformat("Permutation tests: %i permutations per group, seed %llu", *count,
                           static_cast<unsigned long long>(settings.seed)));
    std::optional<PermutationTables> tables;
    {
        ProgressDone done{ctx.ui};
        BootstrapMonitor monitor;
        monitor.keep_going = [&](double fraction) {
            return ctx.ui.progress(fraction, cformat("Permutation tests, %i per group", *count));
        };
        tables = run_permutations(in, settings, monitor);
    }
    if (!tables) {
        ctx.ui.console("Permutation tests cancelled; nothing reported");
        return;
    }
    const PermutationResults results = summarise_permutations(*tables, *count, settings.seed);
    store_permutation_results(ctx.vars, results);
    // After the angle report that DoSVD2 has just shown.
    const Control* box = ctx.ui.find_control("AuxResults");
    const std::string angles = box ? box->string() : std::string();
    show_report(ctx, angles + "\n\n" + permutation_report(report, results));
    analysis_record(ctx).permutations = PermutationRecord{settings};
}

}  // namespace tesvane
