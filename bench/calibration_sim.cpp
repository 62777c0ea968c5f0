#include "bench/calibration_sim.hpp"

#include <cmath>
#include <random>

#include "analysis/permutation_summary.hpp"
#include "platform/random.hpp"
#include "platform/stats.hpp"

namespace tesvane::calibration {
namespace {

// The comparison as it stood before the published method: Fisher's z of the N + 1 values,
// sd with divisor N, z12 = |Z1 - Z2| / sqrt 2. Kept here only to show how it behaves.
double fisher_effect(double observed, const RowVector& permuted) {
    RowVector z(permuted.size() + 1);
    z(0) = std::atanh(observed);
    for (Index i = 0; i < permuted.size(); ++i)
        z(i + 1) = std::atanh(permuted(i));
    const double mean = z.mean();
    const double sd =
        std::sqrt((z.array() - mean).square().sum() / static_cast<double>(z.size() - 1));
    return (z(0) - mean) / sd;
}

double fisher_sqrt2_p(const GroupPermutations& a, const GroupPermutations& b) {
    const double z12 =
        std::abs(fisher_effect(a.observed.r, a.r) - fisher_effect(b.observed.r, b.r)) /
        std::sqrt(2.0);
    return std::erfc(z12 / std::sqrt(2.0));
}

}  // namespace

PermutationBlocks simulate_group(const Setting& s, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> z(0.0, 1.0);
    Matrix b1 = Matrix::NullaryExpr(s.n, s.q1, [&] { return z(rng); });
    Matrix b2 = Matrix::NullaryExpr(s.n, s.q2, [&] { return z(rng); });
    for (Matrix* b : {&b1, &b2})
        for (Index j = 0; j < b->cols(); ++j)
            b->col(j) *= std::pow(s.decay, static_cast<double>(j));
    for (int j = 0; j < s.dimensions; ++j) {
        const ColVector t = ColVector::NullaryExpr(s.n, [&] { return z(rng); });
        b1.col(j) += s.strength * t;
        b2.col(j) += s.strength * t;
    }
    PermutationBlocks b;
    b.block1 = centre_columns(b1);
    b.block2 = centre_columns(b2);
    return b;
}

Rejections simulate(const Setting& s, int datasets, int permutations, std::uint64_t seed,
                    double alpha) {
    Rejections r;
    for (int k = 0; k < datasets; ++k) {
        const std::uint64_t data_seed = splitmix64(seed + static_cast<std::uint64_t>(k));
        PermutationInput in{simulate_group(s, data_seed), simulate_group(s, ~data_seed),
                            permutations};
        const auto t = run_permutations(in, {data_seed, 1});
        const PermutationResults sum = summarise_permutations(*t, permutations, data_seed);
        ++r.datasets;
        for (const auto* g : {&sum.group1, &sum.group2}) {
            ++r.group_trials;
            r.r_pls += g->r_p.p <= alpha;
            r.rv += g->rv_p.p <= alpha;
            r.axis1 += g->axes.at(0).p.p <= alpha;
            r.axis2_stepwise += g->axes.size() > 1 && g->axes[1].defined && g->axes[1].p.p <= alpha;
        }
        for (const auto* g : {&t->group1, &t->group2})
            r.axis2_complete_null +=
                g->sval.cols() > 1 &&
                permutation_p(g->observed.sval(1), g->sval.col(1).transpose()) <= alpha;
        r.z12 += sum.comparison.p <= alpha;
        r.z12_fisher_sqrt2 += fisher_sqrt2_p(t->group1, t->group2) <= alpha;
    }
    return r;
}

double standard_error(double rate, int trials) {
    return trials > 0 ? std::sqrt(rate * (1 - rate) / trials) : 0.0;
}

}  // namespace tesvane::calibration
