#include "analysis/permutation_test.hpp"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "analysis/job_pool.hpp"
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
    // For the stepwise test of axis k + 1 (k >= 1): orthonormal bases of what is left of each
    // block's space once the first k observed axes are removed, as rows (left) and columns.
    std::vector<Matrix> left, right;
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

// The complements of the first k observed axes for k = 1 ... up to the last defined axis.
void add_stepwise_bases(ReducedBlocks& rb, Index defined) {
    const Matrix M = (rb.L1.transpose() * rb.L2) / rb.divisor;
    if (M.size() == 0)
        return;
    const SvdResult d = svd_full(M);
    const Index last = std::min({defined, M.rows(), M.cols()});
    for (Index k = 1; k < last; ++k) {
        rb.left.push_back(d.U.rightCols(M.rows() - k).transpose());
        rb.right.push_back(d.V.rightCols(M.cols() - k));
    }
}

// The largest singular value as the root of the largest eigenvalue of the smaller Gram matrix:
// the permutations need only that one, and this is several times cheaper than a decomposition.
double largest_singular_value(const Matrix& a) {
    if (a.size() == 0)
        return 0.0;
    const Matrix gram =
        a.rows() <= a.cols() ? Matrix(a * a.transpose()) : Matrix(a.transpose() * a);
    const Eigen::SelfAdjointEigenSolver<Matrix> e(gram, Eigen::EigenvaluesOnly);
    return std::sqrt(std::max(0.0, e.eigenvalues().maxCoeff()));
}

PlsStatistics statistics(const ReducedBlocks& rb, const std::vector<Index>* order,
                         RowVector* stepwise = nullptr) {
    const Matrix L2 = order ? Matrix(rb.L2(*order, Eigen::all)) : rb.L2;
    const Matrix M = (rb.L1.transpose() * L2) / rb.divisor;
    PlsStatistics s;
    s.sval = RowVector::Zero(rb.axes);
    const Index k = std::min(M.rows(), M.cols());
    if (k == 0) {
        s.r = s.rv = kNaN;
        if (stepwise)
            *stepwise = RowVector::Zero(rb.axes);
        return s;
    }
    const SvdResult d = svd_thin(M);
    for (Index i = 0; i < std::min(k, rb.axes); ++i)
        s.sval(i) = d.S(i, i);
    s.r = corrcoef(rb.L1 * d.U.col(0), L2 * d.V.col(0))(0, 1);
    s.rv = M.squaredNorm() * rb.divisor * rb.divisor / rb.rv_denominator;
    if (stepwise) {
        *stepwise = RowVector::Zero(rb.axes);
        (*stepwise)(0) = s.sval(0);
        for (size_t k = 0; k < rb.left.size(); ++k)
            (*stepwise)(static_cast<Index>(k) + 1) =
                largest_singular_value(rb.left[k] * M * rb.right[k]);
    }
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
    ReducedBlocks groups[2] = {reduce(in.group1, 1), reduce(in.group2, 2)};
    PermutationTables t;
    GroupPermutations* out[2] = {&t.group1, &t.group2};
    const PermutationBlocks* blocks[2] = {&in.group1, &in.group2};
    for (int g = 0; g < 2; ++g) {
        out[g]->observed = statistics(groups[g], nullptr);
        out[g]->defined_axes = defined_axes(out[g]->observed.sval, *blocks[g]);
        out[g]->specimens = blocks[g]->block1.rows();
        out[g]->divisor = blocks[g]->divisor;
        add_stepwise_bases(groups[g], out[g]->defined_axes);
        out[g]->sval.resize(n, groups[g].axes);
        out[g]->stepwise = Matrix::Zero(n, groups[g].axes);
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
            RowVector stepwise;
            const PlsStatistics s = statistics(groups[g], &order, &stepwise);
            out[g]->sval.row(permutation - 1) = s.sval;
            out[g]->stepwise.row(permutation - 1) = stepwise;
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

}  // namespace tesvane
