// Simulated two-group data with a known truth, run through the permutation tests, counting how
// often each test rejects at a given level: the calibration of the tests.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/permutation_test.hpp"

namespace tesvane::calibration {

// One group: n specimens, q1 and q2 variables of unit variance, the first `dimensions` of each
// block sharing a latent score t per dimension with loading `strength`
// (x_1j = strength t_j + e, x_2j = strength t_j + e for j <= dimensions), so the
// correlation of the associated pairs is strength^2 / (1 + strength^2). With decay < 1 the noise
// of variable j has standard deviation decay^(j - 1): unequal variances.
struct Setting {
    std::string name;
    Index n = 20, q1 = 10, q2 = 6;
    int dimensions = 0;
    double strength = 0;
    double decay = 1;
};

PermutationBlocks simulate_group(const Setting& s, std::uint64_t seed);

// Rejections at level alpha over `datasets` data sets of two groups drawn from the same setting.
// Per-group tests count both groups (2 x datasets trials); the comparison counts data sets.
struct Rejections {
    int datasets = 0, group_trials = 0;
    int r_pls = 0, axis1 = 0, rv = 0;
    int axis2_stepwise = 0, axis2_complete_null = 0;  // the latter: axis 2's sval against its own
                                                      // permutation values, no removal
    int z12 = 0;                                      // Box-Cox effect sizes (the published method)
    int z12_fisher_sqrt2 = 0;  // atanh effect sizes with sd over N + 1 and z12 = |Z1 - Z2|/sqrt 2
};
Rejections simulate(const Setting& s, int datasets, int permutations, std::uint64_t seed,
                    double alpha = 0.05);

// Monte-Carlo standard error of a rejection rate: sqrt(rate (1 - rate) / trials).
double standard_error(double rate, int trials);

}  // namespace tesvane::calibration
