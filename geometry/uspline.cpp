#include "geometry/uspline.hpp"

namespace tesvane {

double uspline(const Matrix& x1, const Matrix& x2) {
    const double dx = x2(0) - x1(0);
    const double dy = x2(1) - x1(1);
    return detail::spline_kernel(dx * dx + dy * dy);
}

}  // namespace tesvane
