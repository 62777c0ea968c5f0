// The "results" object of the JSON output: what the analysis computed beyond the session
// variables, as named numbers.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/session.hpp"

namespace tesvane {

// {} when nothing is stored; with permutation tests "permutation_tests" (per group each axis's
// singular values and p, r-PLS and RV with their p, each p as {"p", "lower", "upper"} with the
// 95 % Clopper-Pearson interval) and "integration_comparison" (Z, lambda, d, s per group, z12
// and its p). A number that is not defined is null.
nlohmann::json results_json(const Session& s);

}  // namespace tesvane
