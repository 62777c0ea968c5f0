#include "app/results_summary.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/permutation_results_store.hpp"
#include "analysis/random_angle.hpp"
#include "analysis/two_block_pls.hpp"
#include "platform/error.hpp"
#include "platform/group_names.hpp"
#include "platform/session_variables.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// RV = ||B1' B2||^2 / sqrt(||B1' B1||^2 ||B2' B2||^2) of the centred blocks.
double rv_coefficient(const Matrix& b1, const Matrix& b2) {
    const double den =
        std::sqrt((b1.transpose() * b1).squaredNorm() * (b2.transpose() * b2).squaredNorm());
    return den > 0 ? (b1.transpose() * b2).squaredNorm() / den : kNaN;
}

GroupSummary group_summary(const Session& v, int group, bool landmarks2) {
    const GroupVariables& names = group_variables(group);
    const Matrix& sbee = v.require(names.sbee2);
    const Matrix& pw1 = v.require(names.pw1);
    const Matrix& block2 = landmarks2 ? v.require(names.pw2) : v.require(names.data2);
    GroupSummary s;
    s.n = pw1.rows();
    const Index axes = std::min(sbee.rows(), sbee.cols());
    s.sval = sbee.diagonal().head(axes).transpose();
    // The analysis divides the cross-product by 1 (landmarks) or n (variables).
    const double n = static_cast<double>(s.n);
    const double to_n1 = s.n > 1 ? (landmarks2 ? 1.0 : n) / (n - 1) : kNaN;
    s.sval_n1 = s.sval * to_n1;
    const double total = s.sval.squaredNorm();
    s.percent = s.sval.array().square() * (total > 0 ? 100.0 / total : kNaN);
    s.scor = v.require(names.scor2);
    for (Index i = 0; i < axes; ++i)
        s.null_axis.push_back(is_null_axis(sbee, i));
    const Matrix b1 = centre_columns(pw1.leftCols(pw1.cols() - 1));
    const Matrix b2 =
        centre_columns(landmarks2 ? Matrix(block2.leftCols(block2.cols() - 1)) : block2);
    s.rv = rv_coefficient(b1, b2);
    return s;
}

RowVector angles(const Matrix& a, const Matrix& b, const Matrix& s1, const Matrix& s2,
                 Index numsvd) {
    RowVector out(numsvd);
    for (Index i = 0; i < numsvd; ++i)
        out(i) = is_null_axis(s1, i) || is_null_axis(s2, i) ? kNaN : axis_angle(a, b, i);
    return out;
}

RowVector random_p(const RowVector& angle, Index q) {
    RowVector p(angle.size());
    for (Index i = 0; i < angle.size(); ++i)
        p(i) = std::isnan(angle(i)) ? kNaN : random_angle_probability(angle(i), q);
    return p;
}

BootstrapSummary bootstrap_summary(const BootstrapRecord& r) {
    BootstrapSummary b;
    b.nboots = r.report.nboots;
    b.alpha = r.report.idx.alpha;
    b.alpha_raised = r.report.idx.alpha_raised;
    b.rangepoint = static_cast<Index>(r.report.idx.rangepoint);
    b.settings = r.settings;
    const Index axes = r.tables.set2.axes();
    const ReplicateSummary* sets[2] = {&r.tables.set1, &r.tables.set2};
    for (int s = 0; s < 2; ++s) {
        b.bound1[s].resize(axes);
        if (r.report.homology2)
            b.bound2[s].resize(axes);
        for (Index k = 0; k < axes; ++k) {
            b.bound1[s](k) = sets[s]->bound(1, k);
            if (r.report.homology2)
                b.bound2[s](k) = sets[s]->bound(2, k);
        }
        b.corr[s] = correlation_range(sets[s]->correlations(), r.report.idx);
    }
    const RowVector dif = r.tables.set1.correlations() - r.tables.set2.correlations();
    b.difference = correlation_range(dif, r.report.idx);
    b.difference_min = dif.size() ? dif.minCoeff() : kNaN;
    b.difference_max = dif.size() ? dif.maxCoeff() : kNaN;
    return b;
}

}  // namespace

std::array<std::string, 2> group_names(AppContext& ctx) {
    return {group_name(ctx, 1), group_name(ctx, 2)};
}

ResultsSummary summarise_results(AppContext& ctx, const AnalysisRecord& record) {
    const Session& v = ctx.vars;
    if (v.empty("sbee2") || v.empty("sbee2g") || v.empty("scor2") || v.empty("scor2g"))
        throw Error("There are no results yet: load the data and run the analysis first");
    ResultsSummary r;
    r.landmarks2 = v.flag("activem2");
    r.homology2 = v.flag("homology2");
    const std::array<std::string, 2> names = group_names(ctx);
    for (int g = 0; g < 2; ++g) {
        r.groups[g] = group_summary(v, g + 1, r.landmarks2);
        r.groups[g].name = names[g];
    }
    const Matrix& sbee2 = v.require("sbee2");
    const Matrix& sbee2g = v.require("sbee2g");
    const Matrix& ubee2 = v.require("ubee2");
    const Matrix& vbee2 = v.require("vbee2");
    r.q1 = ubee2.rows();
    r.q2 = vbee2.rows();
    r.landmarks1 = (v.require("data1").cols() - 1) / 2;
    const Matrix& data2 = v.require("data2");
    r.block2_size = r.landmarks2 ? (data2.cols() - 1) / 2 : data2.cols();
    r.numsvd = std::min({sbee2.rows(), sbee2.cols(), sbee2g.rows(), sbee2g.cols()});
    r.angle1 = angles(ubee2, v.require("ubee2g"), sbee2, sbee2g, r.numsvd);
    r.p_angle1 = random_p(r.angle1, r.q1);
    if (r.homology2) {
        r.angle2 = angles(v.require("vbee2g"), vbee2, sbee2, sbee2g, r.numsvd);
        r.p_angle2 = random_p(r.angle2, r.q2);
    }
    if (record.bootstrap)
        r.bootstrap = bootstrap_summary(*record.bootstrap);
    if (record.permutations) {
        if (std::optional<PermutationResults> p = stored_permutation_results(v))
            r.permutations = PermutationSummary{*p, record.permutations->settings};
    }
    return r;
}

}  // namespace tesvane
