#include "analysis/monte_carlo_p.hpp"

#include <boost/math/distributions/binomial.hpp>
#include <cmath>
#include <limits>

#include "analysis/permutation_test.hpp"

namespace tesvane {

Interval clopper_pearson(Index successes, Index trials, double coverage) {
    using boost::math::binomial_distribution;
    const double tail = (1 - coverage) / 2;
    const auto n = static_cast<double>(trials), x = static_cast<double>(successes);
    return {binomial_distribution<>::find_lower_bound_on_p(n, x, tail),
            binomial_distribution<>::find_upper_bound_on_p(n, x, tail)};
}

MonteCarloP monte_carlo_p(double observed, const RowVector& permuted) {
    const double p = permutation_p(observed, permuted);
    if (std::isnan(p)) {
        constexpr double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan, nan};
    }
    const Index trials = permuted.size() + 1;
    const auto successes = static_cast<Index>(std::llround(p * static_cast<double>(trials)));
    const Interval i = clopper_pearson(successes, trials);
    return {p, i.lower, i.upper};
}

}  // namespace tesvane
