#include "analysis/random_angle.hpp"

#include <algorithm>
#include <boost/math/special_functions/beta.hpp>
#include <cmath>

#include "platform/scalar.hpp"

namespace tesvane {

double random_angle_probability(double theta_degrees, Index q) {
    if (q < 2)
        return 1.0;
    const double theta = std::clamp(theta_degrees, 0.0, 90.0) / kDegreesPerRadian;
    const double s = std::sin(theta), c = std::cos(theta);
    // Near 90 degrees x = sin^2 is close to 1; the complement from cos^2 keeps its digits.
    const double a = 0.5 * static_cast<double>(q - 1);
    const double p = s < c ? boost::math::ibeta(a, 0.5, s * s) : boost::math::ibetac(0.5, a, c * c);
    return std::clamp(p, 0.0, 1.0);
}

}  // namespace tesvane
