// A permutation p-value with its Monte-Carlo error: N permutations only estimate the p-value that
// all arrangements of the rows would give.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The exact (Clopper-Pearson) two-sided interval of a binomial proportion, successes out of
// trials, at the given coverage: the beta quantiles
// \f[ B^{-1}(\tfrac{1-c}{2};\, x, n - x + 1), \quad B^{-1}(\tfrac{1+c}{2};\, x + 1, n - x), \f]
// 0 for x = 0 and 1 for x = n.
struct Interval {
    double lower, upper;
};
Interval clopper_pearson(Index successes, Index trials, double coverage = 0.95);

// p = (1 + count) / (N + 1) as permutation_p counts, with the 95 % Clopper-Pearson interval of
// 1 + count out of N + 1. Not-a-number throughout for a not-a-number observation.
struct MonteCarloP {
    double p, lower, upper;
};
MonteCarloP monte_carlo_p(double observed, const RowVector& permuted);

}  // namespace tesvane
