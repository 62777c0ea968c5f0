#include "analysis/permutation_results_store.hpp"

namespace tesvane {
namespace {

const char* const kVariables[] = {"permcount",  "permaxes",   "permaxesg",  "permstats",
                                  "permstatsg", "permeffect", "permcompare"};

RowVector p_row(double value, const MonteCarloP& p) {
    return RowVector{{value, p.p, p.lower, p.upper}};
}

MonteCarloP p_of(const Matrix& m, Index row, Index first) {
    return {m(row, first), m(row, first + 1), m(row, first + 2)};
}

Matrix axes_matrix(const GroupResult& g) {
    Matrix m(static_cast<Index>(g.axes.size()), 7);
    for (size_t i = 0; i < g.axes.size(); ++i) {
        const AxisResult& a = g.axes[i];
        m.row(static_cast<Index>(i)) << (a.defined ? 1.0 : 0.0), a.sval, a.sval_covariance,
            a.percent, a.p.p, a.p.lower, a.p.upper;
    }
    return m;
}

GroupResult group_of(const Session& s, bool g1, Index specimens, const Matrix& effect) {
    GroupResult g;
    g.specimens = specimens;
    const Matrix& axes = s.matrix(g1 ? "permaxes" : "permaxesg");
    for (Index i = 0; i < axes.rows(); ++i)
        g.axes.push_back({axes(i, 0) != 0, axes(i, 1), axes(i, 2), axes(i, 3), p_of(axes, i, 4)});
    const Matrix& stats = s.require(g1 ? "permstats" : "permstatsg");
    g.r = stats(0, 0);
    g.r_p = p_of(stats, 0, 1);
    g.rv = stats(1, 0);
    g.rv_p = p_of(stats, 1, 1);
    const Index row = g1 ? 0 : 1;
    g.effect = {effect(row, 0), effect(row, 2), effect(row, 3), effect(row, 1)};
    return g;
}

}  // namespace

void store_permutation_results(Session& s, const PermutationResults& r) {
    s.set("permcount",
          Matrix{{static_cast<double>(r.permutations), static_cast<double>(r.group1.specimens),
                  static_cast<double>(r.group2.specimens)}});
    s.set("permaxes", axes_matrix(r.group1));
    s.set("permaxesg", axes_matrix(r.group2));
    for (const auto& [name, g] : {std::pair{"permstats", &r.group1}, {"permstatsg", &r.group2}}) {
        Matrix m(2, 4);
        m.row(0) = p_row(g->r, g->r_p);
        m.row(1) = p_row(g->rv, g->rv_p);
        s.set(name, m);
    }
    const EffectSize& a = r.group1.effect;
    const EffectSize& b = r.group2.effect;
    s.set("permeffect", Matrix{{a.Z, a.lambda, a.d, a.s}, {b.Z, b.lambda, b.d, b.s}});
    s.set("permcompare", Matrix{{r.comparison.z12, r.comparison.p}});
}

std::optional<PermutationResults> stored_permutation_results(const Session& s) {
    if (s.empty("permcount"))
        return std::nullopt;
    const Matrix& count = s.matrix("permcount");
    const Matrix& effect = s.require("permeffect");
    const Matrix& compare = s.require("permcompare");
    PermutationResults r;
    r.permutations = static_cast<int>(count(0, 0));
    r.group1 = group_of(s, true, static_cast<Index>(count(0, 1)), effect);
    r.group2 = group_of(s, false, static_cast<Index>(count(0, 2)), effect);
    r.comparison = {compare(0, 0), compare(0, 1)};
    return r;
}

void clear_permutation_results(Session& s) {
    for (const char* name : kVariables)
        s.clear(name);
}

}  // namespace tesvane
