#include "analysis/permutation_report.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/random_angle.hpp"
#include "platform/cformat.hpp"
#include "platform/report_number.hpp"

namespace tesvane {
namespace {

// "0.046 (0.034–0.061; 999 permutations)"
std::string p_line(const MonteCarloP& p, int permutations) {
    if (std::isnan(p.p))
        return "not defined";
    std::string s = p_with_interval(p, permutations);
    s.insert(s.size() - 1, cformat("; %i permutations", permutations));
    return s;
}

// Pads to a width in characters: the interval's dash takes three bytes but one column.
std::string padded(std::string s, size_t width) {
    size_t chars = 0;
    for (const unsigned char c : s)
        chars += (c & 0xC0) != 0x80 ? 1 : 0;
    if (chars < width)
        s.append(width - chars, ' ');
    return s;
}

std::string group_section(int group, const GroupResult& g, int permutations) {
    std::string s = cformat("\n\nGroup %i (%i specimens)", group, static_cast<int>(g.specimens));
    s += "\nSV      Singular value      Cross-covariance SV (n - 1)   p (95% interval)          "
         "Percent of squared covariance";
    for (size_t i = 0; i < g.axes.size(); ++i) {
        const AxisResult& a = g.axes[i];
        const int axis = static_cast<int>(i + 1);
        if (!a.defined) {
            s += cformat("\n%i      not defined (null axis)", axis);
            continue;
        }
        s += cformat("\n%i      %-18.6g  %-28.6g  %s  %2.3f", axis, a.sval, a.sval_covariance,
                     padded(p_with_interval(a.p, permutations), 24).c_str(), a.percent);
    }
    s += "\nr-PLS (axis 1) = " + report_number("%2.5f", g.r, "zero variance") +
         "   p = " + p_line(g.r_p, permutations);
    s += "\nRV coefficient = " + report_number("%2.5f", g.rv, "zero variance") +
         "   p = " + p_line(g.rv_p, permutations);
    return s;
}

std::string angle_cell(double angle, Index q) {
    if (std::isnan(angle))
        return "not defined (null axis)";
    return cformat("%2.3f  P = %.3g", angle, random_angle_probability(angle, q));
}

std::string effect_cell(const EffectSize& e) {
    if (std::isnan(e.Z))
        return "not defined";
    return cformat("%2.3f (lambda = %.4g)", e.Z, e.lambda);
}

}  // namespace

std::string p_with_interval(const MonteCarloP& p, int permutations) {
    if (std::isnan(p.p))
        return "not defined";
    const int decimals =
        std::max(3, static_cast<int>(std::ceil(std::log10(static_cast<double>(permutations) + 1))));
    return cformat("%.*f (%.2g\u2013%.2g)", decimals, p.p, p.lower, p.upper);
}

std::string permutation_report(const PermutationReportInput& in, const PermutationResults& r) {
    std::string s = cformat("Permutation tests over %i permutations per group (seed %llu)",
                            r.permutations, static_cast<unsigned long long>(r.seed));
    s += "\nRows of block 2 permuted against block 1; p = (1 + number of permutations at least "
         "as large as the observed value) / (N + 1)";
    s += "\nIn brackets: the 95% Clopper-Pearson interval of p for the Monte-Carlo error "
         "(1 + that number out of N + 1)";
    s += "\nAxis 1, r-PLS and RV test the association; axis k > 1 is tested stepwise, with the "
         "first k - 1 observed axes removed from both blocks before permuting (its p never below "
         "that of axis k - 1)";
    s += "\nCross-covariance SV (n - 1): the singular value of the cross-covariance matrix with "
         "divisor n - 1";
    s += group_section(1, r.group1, r.permutations);
    s += group_section(2, r.group2, r.permutations);

    s += "\n\nIntegration strength, Group 1 vs Group 2 (Adams & Collyer 2016)";
    s += "\nEffect sizes of r-PLS: the N + 1 values Box-Cox transformed (lambda by maximum "
         "likelihood on the N permuted values), Z = (t obs - mean t) / sd t";
    s += "\nZ1 = " + effect_cell(r.group1.effect) + "   Z2 = " + effect_cell(r.group2.effect);
    if (std::isnan(r.comparison.z12)) {
        s += "\nz12 = |d1 - d2| / sqrt(s1^2 + s2^2): not defined";
    } else {
        s += cformat(
            "\nz12 = |d1 - d2| / sqrt(s1^2 + s2^2) = %2.3f   p (two-sided, standard "
            "normal) = %2.5f",
            r.comparison.z12, r.comparison.p);
    }

    const bool block2 = in.obsangle2.size() > 0;
    s += "\n\nAngles between the groups' axes against random directions";
    s += "\nP = P(angle <= observed) for two random axes in q dimensions";
    s += "\nP assumes directions uniform in all q dimensions (equal variances); whether the "
         "groups' axes differ is tested by the bootstrap's within-group ranges of angles";
    s += cformat("\nSV      Block 1 (q = %i)", static_cast<int>(in.q1));
    if (block2)
        s += cformat("          Block2 (q = %i)", static_cast<int>(in.q2));
    for (Index k = 0; k < in.obsangle1.size(); ++k) {
        const std::string cell1 = angle_cell(in.obsangle1(k), in.q1);
        s += cformat("\n%i      ", static_cast<int>(k + 1));
        if (block2 && k < in.obsangle2.size())
            s += cformat("%-24s  ", cell1.c_str()) + angle_cell(in.obsangle2(k), in.q2);
        else
            s += cell1;
    }
    return s;
}

}  // namespace tesvane
