#include "display/aheadw.hpp"

#include <cmath>

namespace tesvane {

void aheadw(fig::Axes& axes, double x1, double y1, double x2, double y2, double l) {
    constexpr double kBarbAngle = M_PI / 9;
    const double t = std::atan2(y2 - y1, x2 - x1);
    axes.set_hold(true);
    axes.plot({x2, x2 - l * std::cos(t + kBarbAngle)}, {y2, y2 - l * std::sin(t + kBarbAngle)}, "k",
              1);
    axes.plot({x2, x2 - l * std::cos(t - kBarbAngle)}, {y2, y2 - l * std::sin(t - kBarbAngle)}, "k",
              1);
}

}  // namespace tesvane
