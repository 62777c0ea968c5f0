// The text of the permutation tests in the results window, shown after the angle report.
#pragma once

#include <string>

#include "analysis/permutation_summary.hpp"

namespace tesvane {

// obsangle1/obsangle2 are the observed angles between the groups' axes (not-a-number on a null
// axis; obsangle2 empty when block 2 is not compared), q1/q2 the lengths of the axes.
struct PermutationReportInput {
    RowVector obsangle1, obsangle2;
    Index q1 = 0, q2 = 0;
};
std::string permutation_report(const PermutationReportInput& in, const PermutationResults& r);

// A p-value with its Monte-Carlo interval, "0.046 (0.034–0.061)": the p with as many decimals
// as N + 1 permutations resolve (at least 3), the bounds with two significant digits.
std::string p_with_interval(const MonteCarloP& p, int permutations);

}  // namespace tesvane
