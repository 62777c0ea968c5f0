#include "analysis/permutation_summary.hpp"

#include <limits>

namespace tesvane {
namespace {

GroupResult group_result(const GroupPermutations& g) {
    const PlsStatistics& o = g.observed;
    GroupResult r;
    r.specimens = g.specimens;
    const double total = o.sval.squaredNorm();
    const double to_covariance = g.specimens > 1 ? g.divisor / static_cast<double>(g.specimens - 1)
                                                 : std::numeric_limits<double>::quiet_NaN();
    for (Index i = 0; i < o.sval.size(); ++i) {
        AxisResult a;
        a.defined = i < g.defined_axes;
        a.sval = o.sval(i);
        a.sval_covariance = o.sval(i) * to_covariance;
        a.percent = total > 0 ? 100.0 * o.sval(i) * o.sval(i) / total : 0.0;
        if (a.defined) {
            a.p = monte_carlo_p(o.sval(i), g.stepwise.col(i).transpose());
            if (i > 0 && r.axes.back().p.p > a.p.p)
                a.p = r.axes.back().p;
        }
        r.axes.push_back(a);
    }
    r.r = o.r;
    r.rv = o.rv;
    r.r_p = monte_carlo_p(o.r, g.r);
    r.rv_p = monte_carlo_p(o.rv, g.rv);
    r.effect = effect_size(o.r, g.r);
    return r;
}

}  // namespace

PermutationResults summarise_permutations(const PermutationTables& t, int permutations,
                                          std::uint64_t seed) {
    PermutationResults s;
    s.permutations = permutations;
    s.seed = seed;
    s.group1 = group_result(t.group1);
    s.group2 = group_result(t.group2);
    s.comparison = compare_effect_sizes(s.group1.effect, s.group2.effect);
    return s;
}

}  // namespace tesvane
