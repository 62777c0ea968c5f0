#include "analysis/bootstrap.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <functional>
#include <limits>

#include "analysis/block_references.hpp"
#include "analysis/job_pool.hpp"
#include "analysis/two_block_pls.hpp"
#include "analysis/warp_basis.hpp"
#include "geometry/procrustes_steps.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/report_number.hpp"
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

std::string angle_field(double v) {
    return report_number("%2.3f", v);
}

std::string angle_line(Index k, double observed, double g1, double g2) {
    return cformat("\n%i      %s       %s      %s", static_cast<int>(k + 1),
                   angle_field(observed).c_str(), angle_field(g1).c_str(), angle_field(g2).c_str());
}

}  // namespace

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
    const Matrix bdata1 = D1(rows.bl1, Eigen::all);
    const Matrix bdata1g = D1(rows.bl2, Eigen::all);
    Matrix bdata2, bdata2g;
    if (in.landmarks2) {
        bdata2 = D2(rows.bl1, Eigen::all);
        bdata2g = D2(rows.bl2, Eigen::all);
    }
    const BlockReferences refs = block_references(bdata1, bdata1g, bdata2, bdata2g, in.homology2);

    // One spline decomposition per reference serves both resamples scored on it.
    const WarpBasis basis1 = warp_basis(refs.reference1);
    const Matrix P1 =
        centred_shape(warp_scores(basis1, superimposed(p.scaled1, rows.bl1, refs.reference1)));
    const Matrix P1g =
        centred_shape(warp_scores(basis1, superimposed(p.scaled1, rows.bl2, refs.reference1)));

    Block2 b2, b2g;
    if (in.landmarks2) {
        const WarpBasis basis2 = warp_basis(refs.reference2);
        b2 = {
            centred_shape(warp_scores(basis2, superimposed(p.scaled2, rows.bl1, refs.reference2))),
            1.0};
        const Matrix sup2g = superimposed(p.scaled2, rows.bl2, refs.reference2g);
        b2g = {centred_shape(in.homology2 ? warp_scores(basis2, sup2g)
                                          : warp_scores(warp_basis(refs.reference2g), sup2g)),
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
    // The replicates of both sets are numbered in one int.
    if (n > std::numeric_limits<int>::max() / 2) {
        throw Error(cformat("%i bootstraps are more than can be counted; the most is %i", n,
                            std::numeric_limits<int>::max() / 2));
    }
    const int total = 2 * n;
    // Results wait in a ring until they are announced in order and folded into the summaries.
    std::vector<Replicate> pending(std::min<std::size_t>(kPoolWindow, static_cast<size_t>(total)));
    const PreparedSet sets[2] = {prepare(in, 1), prepare(in, 2)};
    BootstrapTables tables{ReplicateSummary(n, in.bound_row), ReplicateSummary(n, in.bound_row)};
    auto job = [&](int j) {
        const int set = j < n ? 1 : 2;
        const int replicate = j % n + 1;
        try {
            pending[static_cast<size_t>(j) % kPoolWindow] =
                replicate_of(in, sets[set - 1], replicate, settings.seed);
        } catch (const std::exception& e) {
            throw Error(cformat("Bootstrap set %i, replicate %i: %s", set, replicate, e.what()));
        }
    };
    auto done = [&](int j) {
        Replicate& r = pending[static_cast<size_t>(j) % kPoolWindow];
        (j < n ? tables.set1 : tables.set2).add(r);
        r = Replicate{};
        if (monitor.replicate_done)
            monitor.replicate_done(j < n ? 1 : 2, j % n + 1);
    };
    if (!run_pool(total, settings.threads, job, done, monitor.keep_going))
        return std::nullopt;
    return tables;
}

OrderStatistic::OrderStatistic(Index count, Index k)
    : keep_(std::min(k + 1, count - k)), low_(k + 1 <= count - k) {}

void OrderStatistic::add(double v) {
    // A max-heap of the smallest values, or a min-heap of the largest.
    const auto before = [this](double a, double b) { return low_ ? a < b : a > b; };
    if (static_cast<Index>(heap_.size()) < keep_) {
        heap_.push_back(v);
        std::push_heap(heap_.begin(), heap_.end(), before);
    } else if (keep_ > 0 && before(v, heap_.front())) {
        std::pop_heap(heap_.begin(), heap_.end(), before);
        heap_.back() = v;
        std::push_heap(heap_.begin(), heap_.end(), before);
    }
}

double OrderStatistic::value() const {
    return heap_.empty() ? kNaN : heap_.front();
}

void ReplicateSummary::add(const Replicate& r) {
    if (corr_.empty()) {
        axes_ = r.angle1.size();
        bound1_.assign(static_cast<size_t>(axes_), OrderStatistic(nboots_, row_));
        bound2_ = bound1_;
        undefined1_.assign(static_cast<size_t>(axes_), false);
        undefined2_ = undefined1_;
    }
    assert(r.angle1.size() == axes_ && r.angle2.size() == axes_);
    for (Index k = 0; k < axes_; ++k) {
        const auto i = static_cast<size_t>(k);
        // An undefined replicate makes the whole column undefined: its values are not needed.
        if (std::isnan(r.angle1(k)))
            undefined1_[i] = true;
        else
            bound1_[i].add(r.angle1(k));
        if (std::isnan(r.angle2(k)))
            undefined2_[i] = true;
        else
            bound2_[i].add(r.angle2(k));
    }
    for (Index k = 0; k < std::min(axes_, kKeptAxes); ++k) {
        kept1_.push_back(r.angle1(k));
        kept2_.push_back(r.angle2(k));
    }
    corr_.push_back(r.corr);
    if (first_.size() < kEchoed)
        first_.emplace_back(axes_ > 0 ? r.angle1(0) : kNaN, axes_ > 0 ? r.angle2(0) : kNaN);
}

double ReplicateSummary::bound(int block, Index k) const {
    const auto i = static_cast<size_t>(k);
    const bool undefined = block == 1 ? undefined1_[i] : undefined2_[i];
    return undefined ? kNaN : (block == 1 ? bound1_[i] : bound2_[i]).value();
}

Matrix ReplicateSummary::kept_angles(int block) const {
    const std::vector<double>& kept = block == 1 ? kept1_ : kept2_;
    const Index cols = std::min(axes_, kKeptAxes);
    const Index rows = cols > 0 ? static_cast<Index>(kept.size()) / cols : 0;
    return Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(
        kept.data(), rows, cols);
}

RowVector ReplicateSummary::correlations() const {
    return Eigen::Map<const RowVector>(corr_.data(), static_cast<Index>(corr_.size()));
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
    return cformat("\nThe observed correlation for Group %i was ", group) +
           report_number("%2.5f", r, "zero variance");
}

std::string bootstrap_report(const BootReportInput& in, const BootstrapTables& t) {
    assert(in.idx.rangepoint >= 1 && in.idx.rangepoint <= in.nboots);
    // The number of axes is that of the last replicate's decomposition, as the tables have it.
    const Index numsvd = t.set2.axes();
    if (t.set1.axes() < numsvd || in.obsangle1.size() < numsvd ||
        (in.homology2 && in.obsangle2.size() < numsvd)) {
        throw Error("the two groups' analyses have different numbers of axes; run DoSVD2 again");
    }

    std::string s = cformat("The Angle ranges over %i bootstraps at alpha = %2.5f were", in.nboots,
                            in.idx.alpha);
    s += "\nSV      Observed      Group1      Group2";
    s += "\n\nBlock 1";
    for (Index k = 0; k < numsvd; ++k)
        s += angle_line(k, in.obsangle1(k), t.set1.bound(1, k), t.set2.bound(1, k));
    if (in.homology2) {
        s += "\n\nBlock2";
        for (Index k = 0; k < numsvd; ++k)
            s += angle_line(k, in.obsangle2(k), t.set1.bound(2, k), t.set2.bound(2, k));
    }

    // A resample of a small group may repeat one specimen throughout: its correlation is not
    // defined, and neither is a range or spread that includes it.
    const char* const few = "too few specimens for the bootstrap";
    auto range_lines = [&](const BootRange& r) {
        return "\nWith a 95 percent range of " + report_number("%2.5f", r.low, few) + " to " +
               report_number("%2.5f", r.high, few) + "\nWith a Standard Error of " +
               report_number("%2.5f", r.se, few);
    };
    const RowVector corr1 = t.set1.correlations();
    const RowVector corr2 = t.set2.correlations();
    const BootRange g1 = correlation_range(corr1, in.idx);
    s += "\n\nRange of correlation values for SVD axes 1 Group 1";
    s += observed_correlation_line(1, in.scor2);
    s += range_lines(g1);

    const BootRange g2 = correlation_range(corr2, in.idx);
    s += "\n\nRange of correlation values for SVD axes 1 Group2";
    s += observed_correlation_line(2, in.scor2g);
    s += range_lines(g2);

    RowVector dif = corr1 - corr2;
    double lo = kNaN, hi = kNaN;
    for (double v : dif) {
        lo = std::fmin(lo, v);
        hi = std::fmax(hi, v);
    }
    const BootRange d = correlation_range(dif, in.idx);
    s += "\n\nRange of the difference in correlation values (g1-g2)";
    s += "\nThe 95 percent range is " + report_number("%2.5f", d.low, few) + " to " +
         report_number("%2.5f", d.high, few);
    s += "\nThe min and max obs. diff are " + report_number("%2.5f", lo, few) + " and " +
         report_number("%2.5f", hi, few);
    return s;
}

}  // namespace tesvane
