// Comparing the strength of integration between the two groups (Adams & Collyer 2016, Evolution
// 70: 2404-2411): each group's first-axis correlation as an effect size against its own
// permutation distribution, made nearly normal by a Box-Cox transformation, and the two-sample
// test of the two effect sizes.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// One group's effect size. The N + 1 values (observed first) are shifted by -min + 0.0001 when
// any is <= 0, then Box-Cox transformed with the lambda that the N permuted values alone choose
// (box_cox_lambda); with t the transformed values,
// \f[ d = t_{obs} - \bar t, \quad s = \sqrt{\tfrac{1}{N+1} \sum (t - \bar t)^2}, \quad
//     Z = d / s, \f]
// and Z = 0 when all values are equal. Not-a-number throughout when any value is not a number
// or there is no permutation.
struct EffectSize {
    double Z, d, s, lambda;
};
EffectSize effect_size(double observed, const RowVector& permuted);

// The two-sample test of two effect sizes, on each group's own transformed scale:
// \f[ z_{12} = \frac{|d_1 - d_2|}{\sqrt{s_1^2 + s_2^2}} \f]
// with its two-sided standard normal p-value; z12 = 0 and p = 1 when neither group's values
// vary, not-a-number when either effect size is.
struct EffectSizeTest {
    double z12, p;
};
EffectSizeTest compare_effect_sizes(const EffectSize& a, const EffectSize& b);

}  // namespace tesvane
