// Permutation tests of the two-block PLS: the statistics against the direct decomposition and a
// hand computation, the p-values with and without an association, their independence from the
// threads, and the probability of an angle between random axes against a numeric integration.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>

#include "analysis/integration_compare.hpp"
#include "analysis/permutation_test.hpp"
#include "analysis/random_angle.hpp"
#include "analysis/two_block_pls.hpp"
#include "platform/error.hpp"
#include "platform/stats.hpp"

namespace tesvane::test {
namespace {

Matrix normal(Index n, Index q, std::mt19937_64& rng) {
    std::normal_distribution<double> z(0.0, 1.0);
    return Matrix::NullaryExpr(n, q, [&] { return z(rng); });  // filled column by column
}

// Block 2 = block 1 A + noise * E: no association with noise alone, a strong one with little.
PermutationBlocks blocks(Index n, Index q1, Index q2, double signal, unsigned seed,
                         double divisor = 1) {
    std::mt19937_64 rng(seed);
    PermutationBlocks b;
    b.block1 = centre_columns(normal(n, q1, rng));
    b.block2 = centre_columns(signal * b.block1 * normal(q1, q2, rng) + normal(n, q2, rng));
    b.divisor = divisor;
    return b;
}

// The p-values of r, the first singular value and RV.
std::array<double, 3> p_values(const GroupPermutations& g) {
    return {permutation_p(g.observed.r, g.r),
            permutation_p(g.observed.sval(0), g.sval.col(0).transpose()),
            permutation_p(g.observed.rv, g.rv)};
}

TEST(PermutationStatistics, AgreeWithTheDirectDecompositionForFewAndManySpecimens) {
    // 12 specimens with 30 and 20 variables (the reduced blocks are 12 x 12), and 40 with 6 and 4.
    for (const auto& [n, q1, q2] : {std::tuple{12, 30, 20}, {40, 6, 4}}) {
        const PermutationBlocks b = blocks(n, q1, q2, 0.5, 7u, 3.0);
        const PlsStatistics s = observed_statistics(b);
        const BlockPls d = block_pls(b.block1, b.block2, b.divisor, b.block1, b.block2);
        ASSERT_EQ(s.sval.size(), std::min(q1, q2));
        const Index rank = std::min<Index>(n - 1, std::min(q1, q2));
        for (Index i = 0; i < rank; ++i)
            EXPECT_NEAR(s.sval(i), d.sval(i), 1e-12 * d.sval(0)) << n << " axis " << i;
        for (Index i = rank; i < s.sval.size(); ++i)
            EXPECT_LT(s.sval(i), 1e-12 * d.sval(0));
        EXPECT_NEAR(s.r, d.scor(0), 1e-12);
        const Matrix S11 = b.block1.transpose() * b.block1;
        const Matrix S22 = b.block2.transpose() * b.block2;
        const Matrix S12 = b.block1.transpose() * b.block2;
        EXPECT_NEAR(
            s.rv,
            (S12 * S12.transpose()).trace() / std::sqrt((S11 * S11).trace() * (S22 * S22).trace()),
            1e-12);
    }
}

TEST(PermutationStatistics, TinyCaseByHand) {
    // Block 1 (1,0), (-1,0), (0,1), (0,-1); block 2 (1, -1, 1, -1): S11 = 2 I, S22 = 4,
    // S12 = (2, 2)^T, so RV = 8 / sqrt(8 * 16) = 1/sqrt(2), the one singular value is 2 sqrt(2)
    // and the axis-1 scores (1, -1, 1, -1)/sqrt(2) and block 2 correlate perfectly.
    PermutationBlocks b;
    b.block1 = Matrix{{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    b.block2 = Matrix{{1}, {-1}, {1}, {-1}};
    const PlsStatistics s = observed_statistics(b);
    EXPECT_NEAR(s.rv, 1 / std::sqrt(2.0), 1e-15);
    ASSERT_EQ(s.sval.size(), 1);
    EXPECT_NEAR(s.sval(0), 2 * std::sqrt(2.0), 1e-14);
    EXPECT_NEAR(s.r, 1.0, 1e-14);
}

TEST(PermutationP, CountsTheObservedValueAsOnePermutation) {
    const RowVector perm{{0.1, 0.5, 0.7}};
    EXPECT_DOUBLE_EQ(permutation_p(0.5, perm), 3.0 / 4);
    EXPECT_DOUBLE_EQ(permutation_p(0.5 * (1 + 1e-14), perm), 3.0 / 4);  // a rounding tie
    EXPECT_DOUBLE_EQ(permutation_p(0.8, perm), 1.0 / 4);
    EXPECT_DOUBLE_EQ(permutation_p(0.0, perm), 1.0);
    EXPECT_TRUE(std::isnan(permutation_p(std::nan(""), perm)));
}

TEST(RandomOrder, IsAUniformPermutation) {
    std::map<std::vector<Index>, int> seen;
    for (int s = 1; s <= 6000; ++s) {
        UniformStream u(permutation_seed(1, 1, s));
        ++seen[random_order(u, 3)];
    }
    ASSERT_EQ(seen.size(), 6u);  // every one of the 3! orders, and nothing else
    for (const auto& [order, count] : seen)
        EXPECT_NEAR(count, 1000, 120);
}

TEST(PermutationTest, PValuesWithoutAssociationSpreadAndWithAStrongOneAreMinimal) {
    const int N = 199;
    // No association: over 20 data sets the p-values of r, sv1 and RV are spread over (0, 1].
    double sums[3] = {0, 0, 0}, largest = 0;
    const int sets = 20;
    for (int k = 0; k < sets; ++k) {
        PermutationInput in{blocks(25, 6, 4, 0.0, 100u + k), blocks(20, 6, 4, 0.0, 200u + k), N};
        const auto t = run_permutations(in, {static_cast<std::uint64_t>(k), 1});
        ASSERT_TRUE(t);
        for (const GroupPermutations* g : {&t->group1, &t->group2}) {
            const std::array<double, 3> p = p_values(*g);
            for (int i = 0; i < 3; ++i)
                sums[i] += p[i];
            largest = std::max(largest, p[0]);
        }
    }
    for (double sum : sums) {
        EXPECT_GT(sum / (2 * sets), 0.3);
        EXPECT_LT(sum / (2 * sets), 0.7);
    }
    EXPECT_GT(largest, 0.8);

    // A strong association: no permutation comes near, p = 1 / (N + 1).
    PermutationInput in{blocks(25, 6, 4, 5.0, 1u), blocks(20, 6, 4, 5.0, 2u, 20.0), N};
    const auto t = run_permutations(in, {kDefaultRandomSeed, 1});
    ASSERT_TRUE(t);
    for (const GroupPermutations* g : {&t->group1, &t->group2}) {
        for (const double p : p_values(*g))
            EXPECT_DOUBLE_EQ(p, 1.0 / (N + 1));
        EXPECT_EQ(g->defined_axes, 4);
        EXPECT_GT(effect_size(g->observed.r, g->r), 3.0);
    }
}

TEST(PermutationTest, SameResultsForAnyThreadsAndStreamsOfTheirOwn) {
    PermutationInput in{blocks(15, 8, 5, 0.3, 11u), blocks(12, 8, 5, 0.3, 12u), 64};
    const auto one = run_permutations(in, {42, 1});
    const auto two = run_permutations(in, {42, 2});
    const auto other = run_permutations(in, {43, 2});
    ASSERT_TRUE(one && two && other);
    for (auto [a, b] : {std::pair{&one->group1, &two->group1}, {&one->group2, &two->group2}}) {
        EXPECT_TRUE((a->sval.array() == b->sval.array()).all());
        EXPECT_TRUE((a->r.array() == b->r.array()).all());
        EXPECT_TRUE((a->rv.array() == b->rv.array()).all());
    }
    EXPECT_FALSE((one->group1.r.array() == other->group1.r.array()).all());
    // The groups draw from different streams even on identical data.
    PermutationInput same{in.group1, in.group1, 64};
    const auto s = run_permutations(same, {42, 2});
    EXPECT_FALSE((s->group1.r.array() == s->group2.r.array()).all());
    EXPECT_NE(permutation_seed(42, 1, 1), permutation_seed(42, 1, 2));
}

TEST(IntegrationCompare, EffectSizesOnFisherZAndTheirTwoSampleTest) {
    // Observed z0 > 0 and three permutations at 0: mean z0/4, sd (divisor 3) z0/2, so Z = 1.5.
    EXPECT_NEAR(effect_size(0.6, RowVector::Zero(3)), 1.5, 1e-12);
    EXPECT_NEAR(effect_size(0.0, RowVector{{-0.4, 0.4}}), 0.0, 1e-15);
    EXPECT_TRUE(std::isnan(effect_size(0.3, RowVector::Constant(4, 0.3))));
    EXPECT_TRUE(std::isfinite(fisher_z(1.0)));

    // |Z1 - Z2| = 1.96 sqrt(2) gives z12 = 1.96 and the familiar two-sided 0.05.
    const EffectSizeTest t = compare_effect_sizes(3.0, 3.0 - 1.96 * std::sqrt(2.0));
    EXPECT_NEAR(t.z12, 1.96, 1e-12);
    EXPECT_NEAR(t.p, 0.0499957902964, 1e-10);
    EXPECT_DOUBLE_EQ(compare_effect_sizes(2.0, 2.0).p, 1.0);
}

// P(angle <= theta) by Simpson's rule: with c = cos(phi) the density of the angle phi in
// [0, pi/2] is proportional to sin(phi)^(q-2), which has no singularity to integrate over.
double integrated(double theta_degrees, int q) {
    auto integral = [q](double upper) {
        const int steps = 4000;
        const double h = upper / steps;
        double s = 0;
        for (int i = 0; i <= steps; ++i) {
            const double w = (i == 0 || i == steps) ? 1 : (i % 2 ? 4 : 2);
            s += w * std::pow(std::sin(i * h), q - 2);
        }
        return s * h / 3;
    };
    return integral(theta_degrees * M_PI / 180) / integral(M_PI / 2);
}

TEST(RandomAngle, AgreesWithTheIntegratedDensity) {
    for (int q : {2, 3, 10, 50}) {
        for (double theta : {0.5, 5.0, 20.0, 45.0, 60.0, 80.0, 89.9}) {
            const double p = random_angle_probability(theta, q);
            const double want = integrated(theta, q);
            EXPECT_NEAR(p, want, 1e-9 * want + 1e-14) << "q = " << q << ", angle " << theta;
        }
    }
}

TEST(RandomAngle, EndsAndTail) {
    EXPECT_EQ(random_angle_probability(0.0, 124), 0.0);
    EXPECT_NEAR(random_angle_probability(90.0, 124), 1.0, 1e-14);
    EXPECT_NEAR(random_angle_probability(120.0, 10), 1.0, 1e-14);  // clamped to 90
    EXPECT_EQ(random_angle_probability(30.0, 1), 1.0);             // one direction only
    // Far in the tail the value keeps its digits: for q = 50 and a small angle,
    // P ~ (theta^49 / 49) / (B(49/2, 1/2) / 2), about 1e-135 at 0.1 degrees.
    const double t = 0.1 * M_PI / 180;
    const double lead =
        std::pow(t, 49) / 24.5 / std::exp(std::lgamma(24.5) + std::lgamma(0.5) - std::lgamma(25.0));
    EXPECT_NEAR(random_angle_probability(0.1, 50) / lead, 1.0, 1e-4);
}

}  // namespace
}  // namespace tesvane::test
