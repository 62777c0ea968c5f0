#include "app/results_json.hpp"

#include <cmath>

namespace tesvane {
namespace {

using nlohmann::json;

json p_json(const MonteCarloP& p) {
    return {
        {"p", json_number(p.p)}, {"lower", json_number(p.lower)}, {"upper", json_number(p.upper)}};
}

json group_json(const GroupResult& g) {
    json axes = json::array();
    for (size_t i = 0; i < g.axes.size(); ++i) {
        const AxisResult& a = g.axes[i];
        axes.push_back({{"axis", i + 1},
                        {"defined", a.defined},
                        {"singular_value", json_number(a.sval)},
                        {"singular_value_covariance_n_minus_1", json_number(a.sval_covariance)},
                        {"percent_squared_covariance", json_number(a.percent)},
                        {"p", a.defined ? p_json(a.p) : json(nullptr)}});
    }
    return {{"specimens", g.specimens},
            {"axes", axes},
            {"r_pls", {{"value", json_number(g.r)}, {"p", p_json(g.r_p)}}},
            {"rv", {{"value", json_number(g.rv)}, {"p", p_json(g.rv_p)}}}};
}

json effect_json(const EffectSize& e) {
    return {{"Z", json_number(e.Z)},
            {"lambda", json_number(e.lambda)},
            {"d", json_number(e.d)},
            {"s", json_number(e.s)}};
}

}  // namespace

json json_number(double v) {
    return std::isfinite(v) ? json(v) : json(nullptr);
}

json permutation_results_json(const PermutationResults& p) {
    json out = json::object();
    out["permutation_tests"] = {{"permutations", p.permutations},
                                {"interval", "Clopper-Pearson 95%"},
                                {"axis_tests",
                                 "axis 1 against no association; axis k > 1 "
                                 "stepwise, the first k - 1 axes removed"},
                                {"group1", group_json(p.group1)},
                                {"group2", group_json(p.group2)}};
    out["integration_comparison"] = {{"method", "Adams & Collyer 2016, Box-Cox effect sizes"},
                                     {"group1", effect_json(p.group1.effect)},
                                     {"group2", effect_json(p.group2.effect)},
                                     {"z12", json_number(p.comparison.z12)},
                                     {"p", json_number(p.comparison.p)}};
    return out;
}

}  // namespace tesvane
