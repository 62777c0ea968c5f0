// The permutation tests' part of the structured results.
#pragma once

#include <nlohmann/json.hpp>

#include "analysis/permutation_summary.hpp"

namespace tesvane {

// A number, or null when it is not finite.
nlohmann::json json_number(double v);

// The permutation tests as named numbers: "permutation_tests" (per group each axis's singular
// values and p, r-PLS and RV with their p, each p as {"p", "lower", "upper"} with the 95 %
// Clopper-Pearson interval) and "integration_comparison" (Z, lambda, d, s per group, z12 and its
// p). A number that is not defined is null.
nlohmann::json permutation_results_json(const PermutationResults& p);

}  // namespace tesvane
