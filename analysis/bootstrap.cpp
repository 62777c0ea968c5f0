#include "analysis/bootstrap.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <functional>
#include <limits>

#include "analysis/job_pool.hpp"
#include "analysis/two_block_pls.hpp"
#include "analysis/warp_basis.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/procrustes_steps.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/scalar.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The shape scores of the first q columns, centred (the last score column is cs).
Matrix centred_shape(const Matrix& pw) {
    return centre_columns(pw.leftCols(pw.cols() - 1));
}

// One resample's block 2 as it enters the cross-product, and the divisor of X.
struct Block2 {
    Matrix P2;
    double divisor;
};

Block2 variable_block(const Matrix& b2) {
    return {centre_columns(b2), static_cast<double>(b2.rows())};
}

// Ascending, with not-a-number values last: std::sort needs a strict weak order.
void sort_nan_last(RowVector& v) {
    std::sort(v.begin(), v.end(),
              [](double a, double b) { return std::isnan(b) ? !std::isnan(a) : a < b; });
}

bool column_defined(const Matrix& t, Index k) {
    return !t.col(k).array().isNaN().any();
}

// The bound of each column: its rangepoint-th smallest value, or not-a-number when any replicate
// left the axis undefined.
std::string angle_field(double v) {
    return std::isnan(v) ? std::string("not defined") : cformat("%2.3f", v);
}

std::string angle_line(Index k, double observed, double g1, double g2) {
    return cformat("\n%i      %s       %s      %s", static_cast<int>(k + 1),
                   angle_field(observed).c_str(), angle_field(g1).c_str(), angle_field(g2).c_str());
}

}  // namespace

RowVector angle_bounds(const Matrix& table, Index axes, Index row) {
    RowVector b(axes);
    for (Index k = 0; k < axes; ++k) {
        if (!column_defined(table, k)) {
            b(k) = kNaN;
            continue;
        }
        b(k) = sort_columns(table.col(k))(row, 0);
    }
    return b;
}

BootRange correlation_range(RowVector v, const BootIndices& idx) {
    const double se = std_dev(v.transpose())(0);
    sort_nan_last(v);
    return {v(idx.low - 1), v(idx.high - 1), se};
}

ResampleSizes resample_sizes(Index own, Index other) {
    const Index maxspec = std::max(own, other);
    return {own, own, own < maxspec ? own : other};
}

std::uint64_t replicate_seed(std::uint64_t seed, int set, int replicate) {
    std::uint64_t h = splitmix64(seed);
    h = splitmix64(h + static_cast<std::uint64_t>(set));
    return splitmix64(h + static_cast<std::uint64_t>(replicate));
}

ResampleRows draw_rows(UniformStream& u, Index own, Index first, Index second) {
    const double mg = static_cast<double>(own);
    auto draw = [&](Index count) {
        std::vector<Index> rows(static_cast<size_t>(count));
        for (Index& r : rows)
            r = static_cast<Index>(std::ceil(mg * u.next())) - 1;
        return rows;
    };
    ResampleRows r;
    r.bl1 = draw(first);
    r.bl2 = draw(second);
    return r;
}

namespace {

// One set's blocks, and its landmark blocks with every row already centred and scaled: that
// first step of a superimposition works row by row, so the rows of any resample can be taken
// from here, exactly as getpsup would make them, instead of being recomputed four times a
// replicate.
struct PreparedSet {
    int set;
    const Matrix& D1;
    const Matrix& D2;
    Matrix scaled1, scaled2;
};

PreparedSet prepare(const BootstrapInput& in, int set) {
    const bool s1 = set == 1;
    PreparedSet p{set, s1 ? in.data1 : in.data1g, s1 ? in.data2 : in.data2g, {}, {}};
    p.scaled1 = p.D1;
    detail::center_and_scale(p.scaled1);
    if (in.landmarks2) {
        p.scaled2 = p.D2;
        detail::center_and_scale(p.scaled2);
    }
    return p;
}

// getpsup of the rows `rows` of a block whose centred and scaled rows are `scaled`.
Matrix superimposed(const Matrix& scaled, const std::vector<Index>& rows, const Matrix& xref) {
    Matrix y = scaled(rows, Eigen::all);
    for (Index i = 0; i < y.rows(); ++i)
        detail::rotate_onto(y, i, xref);
    return y;
}

Replicate replicate_of(const BootstrapInput& in, const PreparedSet& p, int replicate,
                       std::uint64_t seed) {
    const bool s1 = p.set == 1;
    const Index mg1 = in.data1.rows();
    const Index mg2 = in.data2g.rows();
    const ResampleSizes sz = resample_sizes(s1 ? mg1 : mg2, s1 ? mg2 : mg1);
    UniformStream u(replicate_seed(seed, p.set, replicate));
    const ResampleRows rows = draw_rows(u, sz.own, sz.first, sz.second);

    // The same drawn rows from both blocks keep a specimen's two blocks together: bdata1 and
    // bdata2 are the rows bl1 of D1 and D2, bdata1g and bdata2g their rows bl2.
    const Matrix& D1 = p.D1;
    const Matrix& D2 = p.D2;

    // The references are not rounded here, unlike the analysis.
    const Matrix breference1 =
        getconsensus(stack_rows(D1(rows.bl1, Eigen::all), D1(rows.bl2, Eigen::all), "Block 1"))
            .reference;
    // One spline decomposition per reference serves both resamples scored on it.
    const WarpBasis basis1 = warp_basis(breference1);
    const Matrix P1 =
        centred_shape(warp_scores(basis1, superimposed(p.scaled1, rows.bl1, breference1)));
    const Matrix P1g =
        centred_shape(warp_scores(basis1, superimposed(p.scaled1, rows.bl2, breference1)));

    Block2 b2, b2g;
    if (in.landmarks2) {
        const Matrix bdata2 = D2(rows.bl1, Eigen::all);
        const Matrix bdata2g = D2(rows.bl2, Eigen::all);
        Matrix breference2, breference2g;
        if (in.homology2) {
            breference2 = getconsensus(stack_rows(bdata2, bdata2g, "Block 2")).reference;
            breference2g = breference2;
        } else {
            breference2 = getconsensus(bdata2).reference;
            breference2g = getconsensus(bdata2g).reference;
        }
        const WarpBasis basis2 = warp_basis(breference2);
        b2 = {centred_shape(warp_scores(basis2, superimposed(p.scaled2, rows.bl1, breference2))),
              1.0};
        const Matrix sup2g = superimposed(p.scaled2, rows.bl2, breference2g);
        b2g = {centred_shape(in.homology2 ? warp_scores(basis2, sup2g)
                                          : warp_scores(warp_basis(breference2g), sup2g)),
               1.0};
    } else {
        b2 = variable_block(D2(rows.bl1, Eigen::all));
        b2g = variable_block(D2(rows.bl2, Eigen::all));
    }

    // Only the first axis's correlation of the first resample is collected, and only the axes
    // that have singular values are compared.
    const BlockPls first = block_pls(P1, b2.P2, b2.divisor, P1, b2.P2, 1, true);
    const BlockPls second = block_pls(P1g, b2g.P2, b2g.divisor, P1g, b2g.P2, 0, true);

    const Index numsvd = first.sval.size();
    Replicate r;
    r.angle1.resize(numsvd);
    r.angle2.resize(numsvd);
    for (Index j = 0; j < numsvd; ++j) {
        if (is_null_axis(first.S, j) || is_null_axis(second.S, j)) {
            r.angle1(j) = r.angle2(j) = kNaN;
            continue;
        }
        const double signs = sign(first.sval(j)) * sign(second.sval(j));
        r.angle1(j) = axis_angle(first.U, second.U, j, signs);
        r.angle2(j) = axis_angle(second.V, first.V, j);
    }
    r.corr = first.scor.size() > 0 ? first.scor(0) : kNaN;
    return r;
}

}  // namespace

Replicate run_replicate(const BootstrapInput& in, int set, int replicate, std::uint64_t seed) {
    return replicate_of(in, prepare(in, set), replicate, seed);
}

std::optional<BootstrapTables> run_bootstrap(const BootstrapInput& in,
                                             const BootstrapSettings& settings,
                                             const BootstrapMonitor& monitor) {
    const int n = in.nboots;
    const int total = 2 * n;
    const size_t jobs = static_cast<size_t>(total);
    std::vector<Replicate> results(jobs);
    const PreparedSet sets[2] = {prepare(in, 1), prepare(in, 2)};
    auto job = [&](int j) {
        const int set = j < n ? 1 : 2;
        const int replicate = j % n + 1;
        try {
            results[static_cast<size_t>(j)] =
                replicate_of(in, sets[set - 1], replicate, settings.seed);
        } catch (const std::exception& e) {
            throw Error(cformat("Bootstrap set %i, replicate %i: %s", set, replicate, e.what()));
        }
    };
    std::function<void(int)> done;
    if (monitor.replicate_done)
        done = [&](int j) { monitor.replicate_done(j < n ? 1 : 2, j % n + 1); };
    if (!run_pool(total, settings.threads, job, done, monitor.keep_going))
        return std::nullopt;

    BootstrapTables tables;
    for (int s = 0; s < 2; ++s) {
        ReplicateSet& set = s == 0 ? tables.set1 : tables.set2;
        const Index axes = n > 0 ? results[static_cast<size_t>(s * n)].angle1.size() : 0;
        set.angle1.resize(n, axes);
        set.angle2.resize(n, axes);
        set.corr.resize(n);
        for (int r = 0; r < n; ++r) {
            const Replicate& rep = results[static_cast<size_t>(s * n + r)];
            assert(rep.angle1.size() == axes);
            set.angle1.row(r) = rep.angle1;
            set.angle2.row(r) = rep.angle2;
            set.corr(r) = rep.corr;
        }
    }
    return tables;
}

BootIndices boot_indices(int nboots, double alpha) {
    const double n = static_cast<double>(nboots);
    BootIndices idx{};
    idx.alpha = alpha;
    idx.alpha_raised = alpha < 1.0 / n;
    if (idx.alpha_raised)
        idx.alpha = 1.0 / n;
    idx.rangepoint = std::ceil(n * (1.0 - idx.alpha));
    idx.low = std::max<Index>(1, static_cast<Index>(std::floor(0.025 * n)));
    idx.high = static_cast<Index>(std::ceil(0.975 * n));
    return idx;
}

std::string observed_correlation_line(int group, double r) {
    return cformat("\nThe observed correlation for Group %i was %2.5f", group, r);
}

std::string bootstrap_report(const BootReportInput& in, const BootstrapTables& t) {
    assert(in.idx.rangepoint >= 1 && in.idx.rangepoint <= in.nboots);
    const Index row = static_cast<Index>(in.idx.rangepoint) - 1;
    // The number of axes is that of the last replicate's decomposition, as the tables have it.
    const Index numsvd = t.set2.angle1.cols();
    if (t.set1.angle1.cols() < numsvd || in.obsangle1.size() < numsvd ||
        (in.homology2 && in.obsangle2.size() < numsvd)) {
        throw Error("the two groups' analyses have different numbers of axes; run DoSVD2 again");
    }
    const RowVector b1 = angle_bounds(t.set1.angle1, numsvd, row);
    const RowVector b1g = angle_bounds(t.set2.angle1, numsvd, row);

    std::string s = cformat("The Angle ranges over %i bootstraps at alpha = %2.5f were", in.nboots,
                            in.idx.alpha);
    s += "\nSV      Observed      Group1      Group2";
    s += "\n\nBlock 1";
    for (Index k = 0; k < numsvd; ++k)
        s += angle_line(k, in.obsangle1(k), b1(k), b1g(k));
    if (in.homology2) {
        const RowVector b2 = angle_bounds(t.set1.angle2, numsvd, row);
        const RowVector b2g = angle_bounds(t.set2.angle2, numsvd, row);
        s += "\n\nBlock2";
        for (Index k = 0; k < numsvd; ++k)
            s += angle_line(k, in.obsangle2(k), b2(k), b2g(k));
    }

    const BootRange g1 = correlation_range(t.set1.corr, in.idx);
    s += "\n\nRange of correlation values for SVD axes 1 Group 1";
    s += observed_correlation_line(1, in.scor2);
    s += cformat("\nWith a 95 percent range of %2.5f to %2.5f", g1.low, g1.high);
    s += cformat("\nWith a Standard Error of %2.5f", g1.se);

    const BootRange g2 = correlation_range(t.set2.corr, in.idx);
    s += "\n\nRange of correlation values for SVD axes 1 Group2";
    s += observed_correlation_line(2, in.scor2g);
    s += cformat("\nWith a 95 percent range of %2.5f to %2.5f", g2.low, g2.high);
    s += cformat("\nWith a Standard Error of %2.5f", g2.se);

    RowVector dif = t.set1.corr - t.set2.corr;
    double lo = kNaN, hi = kNaN;
    for (double v : dif) {
        lo = std::fmin(lo, v);
        hi = std::fmax(hi, v);
    }
    const BootRange d = correlation_range(dif, in.idx);
    s += "\n\nRange of the difference in correlation values (g1-g2)";
    s += cformat("\nThe 95 percent range is %2.5f to %2.5f", d.low, d.high);
    s += cformat("\nThe min and max obs. diff are %2.5f and %2.5f", lo, hi);
    return s;
}

}  // namespace tesvane
