// Thin-plate spline kernel.
#pragma once

#include <cmath>

#include "platform/matrix.hpp"

namespace tesvane {

namespace detail {
// U from the squared distance r2: r2 * ln(r2), and 0 for r2 = 0 (the limit, not 0 * -inf).
inline double spline_kernel(double r2) {
    return r2 != 0.0 ? r2 * std::log(r2) : 0.0;
}
}  // namespace detail

// U(|x2 - x1|) = r^2 ln(r^2) for two points given as 1 x 2 rows, formed from the squared
// distance directly; 0 for equal points.
double uspline(const Matrix& x1, const Matrix& x2);

}  // namespace tesvane
