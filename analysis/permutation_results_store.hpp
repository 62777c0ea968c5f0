// The numbers of the last permutation tests as session variables, so that what is written later
// (the JSON output) reads them like every other result:
//   permcount            1 x 3: N, specimens of group 1 and of group 2
//   permaxes, permaxesg  axes x 7 per group: defined (1/0), singular value, the same with divisor
//                        n - 1, percent of squared covariance, p, lower, upper
//   permstats, permstatsg 2 x 4 per group: r-PLS then RV, each value, p, lower, upper
//   permeffect           2 x 4: Z, lambda, d, s of group 1 then group 2
//   permcompare          1 x 2: z12 and its p
#pragma once

#include <optional>

#include "analysis/permutation_summary.hpp"
#include "platform/session.hpp"

namespace tesvane {

void store_permutation_results(Session& s, const PermutationResults& r);
// The stored results, or nothing when the last analysis ran no permutation tests.
std::optional<PermutationResults> stored_permutation_results(const Session& s);
void clear_permutation_results(Session& s);

}  // namespace tesvane
