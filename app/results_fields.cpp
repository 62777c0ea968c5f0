#include "app/results_fields.hpp"

#include <cmath>

#include "app/results_json.hpp"

namespace tesvane {
namespace {

using nlohmann::json;

json numbers(const RowVector& v) {
    json a = json::array();
    for (double x : v)
        a.push_back(json_number(x));
    return a;
}

json provenance_json(const Provenance& p) {
    json inputs = json::array();
    for (int i = 0; i < 4; ++i) {
        const InputFile& f = p.inputs[static_cast<size_t>(i)];
        inputs.push_back({{"group", i / 2 + 1},
                          {"block", i % 2 + 1},
                          {"role", input_role(p, i)},
                          {"file", f.name},
                          {"path", f.path},
                          {"size", f.size},
                          {"sha256", f.sha256.empty() ? json(nullptr) : json(f.sha256)}});
    }
    return {
        {"program", p.program}, {"created", p.created}, {"origin", p.origin}, {"inputs", inputs}};
}

json settings_json(const Provenance& p) {
    return {{"block2", p.landmarks2 ? "landmarks" : "variables"},
            {"homology", p.homology2},
            {"bootstrap_replicates",
             p.bootstrap_replicates ? json(*p.bootstrap_replicates) : json(nullptr)},
            {"alpha", p.alpha ? json(*p.alpha) : json(nullptr)},
            {"permutations", p.permutations ? json(*p.permutations) : json(nullptr)},
            {"seed", p.seed},
            {"threads", p.threads ? json(p.threads) : json(nullptr)}};
}

json group_json(const ResultsSummary& s, int gi) {
    const GroupSummary& g = s.groups[static_cast<size_t>(gi)];
    json nulls = json::array();
    for (bool n : g.null_axis)
        nulls.push_back(n);
    json o = {{"name", g.name},
              {"specimens", g.n},
              {"singular_values", numbers(g.sval)},
              {"singular_values_scale",
               s.landmarks2 ? "sum of cross-products" : "cross-covariance, divisor n"},
              {"singular_values_n_minus_1", numbers(g.sval_n1)},
              {"percent_squared_covariance", numbers(g.percent)},
              {"score_correlations", numbers(g.scor)},
              {"null_axes", nulls},
              {"r_pls", json_number(g.scor.size() ? g.scor(0) : NAN)},
              {"rv", json_number(g.rv)}};
    return o;
}

json angles_json(const RowVector& angle, const RowVector& p) {
    json a = json::array();
    for (Index k = 0; k < angle.size(); ++k)
        a.push_back({{"axis", k + 1},
                     {"degrees", json_number(angle(k))},
                     {"null_axis", std::isnan(angle(k))},
                     {"p_random_directions", json_number(p(k))}});
    return a;
}

json range_json(const BootRange& r) {
    return {{"low", json_number(r.low)},
            {"high", json_number(r.high)},
            {"standard_error", json_number(r.se)}};
}

json bootstrap_json(const ResultsSummary& s) {
    const BootstrapSummary& b = *s.bootstrap;
    json bounds = json::object();
    for (int block = 1; block <= 2; ++block) {
        const std::array<RowVector, 2>& bound = block == 1 ? b.bound1 : b.bound2;
        bounds[(block == 1 ? "block1" : "block2")] = nullptr;
        if (bound[0].size() == 0)
            continue;
        json axes = json::array();
        for (Index k = 0; k < bound[0].size(); ++k)
            axes.push_back({{"axis", k + 1},
                            {"group1", json_number(bound[0](k))},
                            {"group2", json_number(bound[1](k))}});
        bounds[(block == 1 ? "block1" : "block2")] = axes;
    }
    json corr = json::array();
    for (int g = 0; g < 2; ++g) {
        json c = range_json(b.corr[static_cast<size_t>(g)]);
        c["observed"] = json_number(s.groups[static_cast<size_t>(g)].scor(0));
        corr.push_back(c);
    }
    json dif = range_json(b.difference);
    dif["min"] = json_number(b.difference_min);
    dif["max"] = json_number(b.difference_max);
    return {{"replicates", b.nboots},         {"alpha", b.alpha},
            {"alpha_raised", b.alpha_raised}, {"bound_row", b.rangepoint},
            {"angle_bounds", bounds},         {"axis1_correlations", corr},
            {"correlation_difference", dif}};
}

}  // namespace

json results_fields_json(const Provenance& p, const ResultsSummary& s) {
    json groups = json::array({group_json(s, 0), group_json(s, 1)});
    json permutations = {{"permutation_tests", nullptr}, {"integration_comparison", nullptr}};
    if (s.permutations)
        permutations = permutation_results_json(s.permutations->results);
    return {{"provenance", provenance_json(p)},
            {"settings", settings_json(p)},
            {"block1", {{"landmarks", s.landmarks1}, {"variables", s.q1}}},
            {"block2",
             {{"kind", s.landmarks2 ? "landmarks" : "variables"},
              {"size", s.block2_size},
              {"variables", s.q2}}},
            {"groups", groups},
            {"angles",
             {{"block1", angles_json(s.angle1, s.p_angle1)},
              {"block2", s.angle2.size() ? angles_json(s.angle2, s.p_angle2) : json(nullptr)}}},
            {"permutation_tests", permutations["permutation_tests"]},
            {"integration_comparison", permutations["integration_comparison"]},
            {"bootstrap", s.bootstrap ? bootstrap_json(s) : json(nullptr)}};
}

}  // namespace tesvane
