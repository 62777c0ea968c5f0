#include "analysis/integration_compare.hpp"

#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <limits>

#include "analysis/box_cox.hpp"

namespace tesvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

EffectSize effect_size(double observed, const RowVector& permuted) {
    const Index n = permuted.size() + 1;
    RowVector x(n);
    x(0) = observed;
    x.tail(n - 1) = permuted;
    if (n < 2 || x.hasNaN())
        return {kNaN, kNaN, kNaN, kNaN};
    // The transformation needs positive values.
    if (x.minCoeff() <= 0)
        x.array() += -x.minCoeff() + 0.0001;
    const double lambda = box_cox_lambda(x.tail(n - 1));
    RowVector t(n);
    for (Index i = 0; i < n; ++i)
        t(i) = box_cox_transform(x(i), lambda);
    const double d = t(0) - t.mean();
    const double s = std::sqrt((t.array() - t.mean()).square().sum() / static_cast<double>(n));
    return {s > 0 ? d / s : 0.0, s > 0 ? d : 0.0, s, lambda};
}

EffectSizeTest compare_effect_sizes(const EffectSize& a, const EffectSize& b) {
    if (std::isnan(a.Z) || std::isnan(b.Z))
        return {kNaN, kNaN};
    const double spread = std::sqrt(a.s * a.s + b.s * b.s);
    if (!(spread > 0))
        return {0.0, 1.0};
    const double z12 = std::abs(a.d - b.d) / spread;
    const boost::math::normal_distribution<double> normal;
    return {z12, 2 * boost::math::cdf(boost::math::complement(normal, z12))};
}

}  // namespace tesvane
