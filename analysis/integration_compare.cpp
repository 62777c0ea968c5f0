#include "analysis/integration_compare.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tesvane {

double fisher_z(double r) {
    constexpr double limit = 1.0 - 0x1.0p-40;
    return std::atanh(std::clamp(r, -limit, limit));
}

double effect_size(double observed, const RowVector& permuted) {
    const Index n = permuted.size() + 1;
    RowVector z(n);
    z(0) = fisher_z(observed);
    for (Index i = 0; i < permuted.size(); ++i)
        z(i + 1) = fisher_z(permuted(i));
    const double mean = z.mean();
    const double sd = std::sqrt((z.array() - mean).square().sum() / static_cast<double>(n - 1));
    if (!(sd > 0))
        return std::numeric_limits<double>::quiet_NaN();
    return (z(0) - mean) / sd;
}

EffectSizeTest compare_effect_sizes(double Z1, double Z2) {
    const double z12 = std::abs(Z1 - Z2) / std::sqrt(2.0);
    // 2 (1 - Phi(z)) = erfc(z / sqrt 2), which keeps its digits far into the tail.
    return {z12, std::erfc(z12 / std::sqrt(2.0))};
}

}  // namespace tesvane
