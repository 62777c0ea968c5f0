// Comparing the strength of integration between the two groups: effect sizes of the first-axis
// correlation against its permutation distribution, and their two-sample test.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Fisher's z of a correlation, atanh(r), with |r| kept just below 1 so that a perfect
// correlation gives a large finite value rather than an infinity.
double fisher_z(double r);

// The effect size of an observed correlation against the correlations of its permutations, on
// Fisher's z scale:
// \f[ Z = \frac{z(r_{obs}) - \bar z}{s_z}, \f]
// with the mean and the standard deviation (divisor N) taken over the N + 1 values of z, the
// observed one counted as one of the permutations. Not-a-number when the values do not vary or
// any is not-a-number.
double effect_size(double observed, const RowVector& permuted);

// The two-sample test of two effect sizes: z12 = |Z1 - Z2| / sqrt(2), and its two-sided
// p-value 2 (1 - Phi(z12)) under the standard normal distribution.
struct EffectSizeTest {
    double z12, p;
};
EffectSizeTest compare_effect_sizes(double Z1, double Z2);

}  // namespace tesvane
