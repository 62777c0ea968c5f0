#include "geometry/wsspline.hpp"

#include "geometry/uspline.hpp"

namespace tesvane {

double wsspline(const Matrix& x, const Matrix& yt, const Matrix& w) {
    double s = 0.0;
    for (Index i = 0; i < x.cols(); ++i) {
        const double dx = yt(0) - x(0, i);
        const double dy = yt(1) - x(1, i);
        s += w(i) * detail::spline_kernel(dx * dx + dy * dy);
    }
    return s;
}

}  // namespace tesvane
