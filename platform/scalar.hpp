// Scalar helpers with the rounding conventions of the analysis.
#pragma once

#include <cmath>

namespace tesvane {

// Round half away from zero (2.5 -> 3, -2.5 -> -3), as std::round does.
inline double round_half_away(double x) {
    return std::round(x);
}

// Arc cosine of a cosine that rounding may have pushed just past +-1: the real part of the
// complex result, so 1 + 1e-16 gives 0 rather than not-a-number.
inline double acos_real(double x) {
    if (x >= 1.0)
        return 0.0;
    if (x <= -1.0)
        return M_PI;
    return std::acos(x);
}

// -1, 0 or 1.
inline double sign(double x) {
    return static_cast<double>((x > 0) - (x < 0));
}

// Degrees per radian, to the digits the reports use.
inline constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace tesvane
