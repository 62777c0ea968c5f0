#include "analysis/permutation_test.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "analysis/integration_compare.hpp"
#include "analysis/job_pool.hpp"
#include "analysis/random_angle.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/linalg.hpp"
#include "platform/report_number.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A group's blocks in the coordinates of their own principal axes, L = P V from the thin
// decomposition P = U S V^T. Then L1^T L2 has the singular values of P1^T P2 and L1 u, L2 v
// are its block scores, while it is at most n x n however many shape variables there are:
// the permutations never form the q1 x q2 matrix.
struct ReducedBlocks {
    Matrix L1, L2;
    double divisor = 1;
    double rv_denominator = 0;  // ||S11|| ||S22||, the same for every permutation
    Index axes = 0;             // min(q1, q2)
};

Matrix principal_coordinates(const Matrix& p) {
    if (p.rows() == 0 || p.cols() == 0)
        return Matrix(p.rows(), 0);
    return p * svd_thin(p).V;
}

ReducedBlocks reduce(const PermutationBlocks& b, int group) {
    if (b.block1.rows() != b.block2.rows()) {
        throw Error(cformat("block 1 and block 2 of group %i have %i and %i specimens", group,
                            static_cast<int>(b.block1.rows()), static_cast<int>(b.block2.rows())));
    }
    ReducedBlocks r;
    r.L1 = principal_coordinates(b.block1);
    r.L2 = principal_coordinates(b.block2);
    r.divisor = b.divisor;
    r.rv_denominator = (r.L1.transpose() * r.L1).norm() * (r.L2.transpose() * r.L2).norm();
    r.axes = std::min(b.block1.cols(), b.block2.cols());
    return r;
}

PlsStatistics statistics(const ReducedBlocks& rb, const std::vector<Index>* order) {
    const Matrix L2 = order ? Matrix(rb.L2(*order, Eigen::all)) : rb.L2;
    const Matrix M = (rb.L1.transpose() * L2) / rb.divisor;
    PlsStatistics s;
    s.sval = RowVector::Zero(rb.axes);
    const Index k = std::min(M.rows(), M.cols());
    if (k == 0) {
        s.r = s.rv = kNaN;
        return s;
    }
    const SvdResult d = svd_thin(M);
    for (Index i = 0; i < std::min(k, rb.axes); ++i)
        s.sval(i) = d.S(i, i);
    s.r = corrcoef(rb.L1 * d.U.col(0), L2 * d.V.col(0))(0, 1);
    s.rv = M.squaredNorm() * rb.divisor * rb.divisor / rb.rv_denominator;
    return s;
}

Index defined_axes(const RowVector& sval, const PermutationBlocks& b) {
    const double m = static_cast<double>(std::max(b.block1.cols(), b.block2.cols()));
    const double eps = std::numeric_limits<double>::epsilon();
    const double floor =
        static_cast<double>(b.block1.rows()) * m * eps * b.scale / std::abs(b.divisor);
    const double tol = std::max(floor, m * eps * (sval.size() ? sval(0) : 0.0));
    Index n = 0;
    while (n < sval.size() && sval(n) > tol)
        ++n;
    return n;
}

std::string p_field(double p) {
    return std::isnan(p) ? std::string("not defined") : cformat("%2.5f", p);
}

std::string group_section(int group, Index n, const GroupPermutations& g) {
    const PlsStatistics& o = g.observed;
    std::string s = cformat("\n\nGroup %i (%i specimens)", group, static_cast<int>(n));
    s += "\nSV      Singular value      p          Percent of squared covariance";
    const double total = o.sval.squaredNorm();
    for (Index i = 0; i < o.sval.size(); ++i) {
        const int axis = static_cast<int>(i + 1);
        if (i >= g.defined_axes) {
            s += cformat("\n%i      not defined (null axis)", axis);
            continue;
        }
        s += cformat("\n%i      %-18.6g  %s    %2.3f", axis, o.sval(i),
                     p_field(permutation_p(o.sval(i), g.sval.col(i).transpose())).c_str(),
                     100.0 * o.sval(i) * o.sval(i) / total);
    }
    s += "\nr-PLS (axis 1) = " + report_number("%2.5f", o.r, "zero variance") +
         "   p = " + p_field(permutation_p(o.r, g.r));
    s += "\nRV coefficient = " + report_number("%2.5f", o.rv, "zero variance") +
         "   p = " + p_field(permutation_p(o.rv, g.rv));
    return s;
}

std::string number_or_undefined(const char* fmt, double v) {
    return report_number(fmt, v);
}

std::string angle_cell(double angle, Index q) {
    if (std::isnan(angle))
        return "not defined (null axis)";
    return cformat("%2.3f  P = %.3g", angle, random_angle_probability(angle, q));
}

}  // namespace

PlsStatistics observed_statistics(const PermutationBlocks& b) {
    return statistics(reduce(b, 1), nullptr);
}

std::uint64_t permutation_seed(std::uint64_t seed, int group, int permutation) {
    std::uint64_t h = splitmix64(seed);
    h = splitmix64(h + 0x7065726dULL);  // "perm": apart from the bootstrap's streams
    h = splitmix64(h + static_cast<std::uint64_t>(group));
    return splitmix64(h + static_cast<std::uint64_t>(permutation));
}

std::vector<Index> random_order(UniformStream& u, Index n) {
    std::vector<Index> order(static_cast<size_t>(std::max<Index>(0, n)));
    for (Index i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    for (Index i = n - 1; i > 0; --i) {
        const Index j = static_cast<Index>(std::floor(static_cast<double>(i + 1) * u.next()));
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(std::min(j, i))]);
    }
    return order;
}

std::optional<PermutationTables> run_permutations(const PermutationInput& in,
                                                  const BootstrapSettings& settings,
                                                  const BootstrapMonitor& monitor) {
    const int n = std::max(0, in.permutations);
    const ReducedBlocks groups[2] = {reduce(in.group1, 1), reduce(in.group2, 2)};
    PermutationTables t;
    GroupPermutations* out[2] = {&t.group1, &t.group2};
    const PermutationBlocks* blocks[2] = {&in.group1, &in.group2};
    for (int g = 0; g < 2; ++g) {
        out[g]->observed = statistics(groups[g], nullptr);
        out[g]->defined_axes = defined_axes(out[g]->observed.sval, *blocks[g]);
        out[g]->sval.resize(n, groups[g].axes);
        out[g]->r.resize(n);
        out[g]->rv.resize(n);
    }

    // Each job writes its own row, so the tables need no lock.
    auto job = [&](int j) {
        const int g = j < n ? 0 : 1;
        const int permutation = j % n + 1;
        try {
            UniformStream u(permutation_seed(settings.seed, g + 1, permutation));
            const std::vector<Index> order = random_order(u, groups[g].L2.rows());
            const PlsStatistics s = statistics(groups[g], &order);
            out[g]->sval.row(permutation - 1) = s.sval;
            out[g]->r(permutation - 1) = s.r;
            out[g]->rv(permutation - 1) = s.rv;
        } catch (const std::exception& e) {
            throw Error(cformat("Permutation test group %i, permutation %i: %s", g + 1, permutation,
                                e.what()));
        }
    };
    std::function<void(int)> done;
    if (monitor.replicate_done)
        done = [&](int j) { monitor.replicate_done(j < n ? 1 : 2, j % n + 1); };
    if (!run_pool(2 * n, settings.threads, job, done, monitor.keep_going))
        return std::nullopt;
    return t;
}

double permutation_p(double observed, const RowVector& permuted) {
    if (std::isnan(observed))
        return kNaN;
    const double at_least = observed - 1e-12 * std::abs(observed);
    Index count = 0;
    for (double v : permuted)
        count += v >= at_least ? 1 : 0;
    return static_cast<double>(1 + count) / static_cast<double>(permuted.size() + 1);
}

std::string permutation_report(const PermutationReportInput& in, const PermutationTables& t) {
    std::string s = cformat("Permutation tests over %i permutations per group (seed %llu)",
                            in.permutations, static_cast<unsigned long long>(in.seed));
    s += "\nRows of block 2 permuted against block 1; p = (1 + number of permutations at least "
         "as large as the observed value) / (N + 1)";
    s += group_section(1, in.n1, t.group1);
    s += group_section(2, in.n2, t.group2);

    const double Z1 = effect_size(t.group1.observed.r, t.group1.r);
    const double Z2 = effect_size(t.group2.observed.r, t.group2.r);
    s += "\n\nIntegration strength, Group 1 vs Group 2";
    s += "\nEffect sizes of r-PLS on Fisher's z: Z = (atanh(r obs) - mean) / sd of atanh(r) over "
         "the N + 1 values, observed included";
    s += "\nZ1 = " + number_or_undefined("%2.3f", Z1) +
         "   Z2 = " + number_or_undefined("%2.3f", Z2);
    if (std::isnan(Z1) || std::isnan(Z2)) {
        s += "\nz12 = |Z1 - Z2| / sqrt(2): not defined";
    } else {
        const EffectSizeTest z = compare_effect_sizes(Z1, Z2);
        s += cformat("\nz12 = |Z1 - Z2| / sqrt(2) = %2.3f   p (two-sided, standard normal) = %2.5f",
                     z.z12, z.p);
    }

    const bool block2 = in.obsangle2.size() > 0;
    s += "\n\nAngles between the groups' axes against random directions";
    s += "\nP = P(angle <= observed) for two random axes in q dimensions";
    s += cformat("\nSV      Block 1 (q = %i)", static_cast<int>(in.q1));
    if (block2)
        s += cformat("          Block2 (q = %i)", static_cast<int>(in.q2));
    for (Index k = 0; k < in.obsangle1.size(); ++k) {
        const std::string cell1 = angle_cell(in.obsangle1(k), in.q1);
        s += cformat("\n%i      ", static_cast<int>(k + 1));
        if (block2 && k < in.obsangle2.size())
            s += cformat("%-24s  ", cell1.c_str()) + angle_cell(in.obsangle2(k), in.q2);
        else
            s += cell1;
    }
    return s;
}

}  // namespace tesvane
