// The numbers the permutation tests report, taken once from the permutation tables so that the
// results window and the JSON output show the same values.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/integration_compare.hpp"
#include "analysis/monte_carlo_p.hpp"
#include "analysis/permutation_test.hpp"

namespace tesvane {

// One axis: its singular value on the analysis's own scale, the singular value of the
// cross-covariance with divisor n - 1 (sval * divisor / (n - 1), the scale most papers use), its
// percent of the total squared covariance and its stepwise p (axis 1 against no association;
// axis k > 1 with the earlier axes removed, and never below the p of axis k - 1, so that an
// axis counts only after all earlier ones). `defined` is false on a null axis, which has no p.
struct AxisResult {
    bool defined = false;
    double sval = 0, sval_covariance = 0, percent = 0;
    MonteCarloP p{};
};

struct GroupResult {
    Index specimens = 0;
    std::vector<AxisResult> axes;
    double r = 0, rv = 0;
    MonteCarloP r_p{}, rv_p{};
    EffectSize effect{};
};

struct PermutationResults {
    int permutations = 0;
    std::uint64_t seed = 0;
    GroupResult group1, group2;
    EffectSizeTest comparison{};
};

PermutationResults summarise_permutations(const PermutationTables& t, int permutations,
                                          std::uint64_t seed);

}  // namespace tesvane
