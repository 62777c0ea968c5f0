#include "display/reversepw6u.hpp"

#include "geometry/vertxy.hpp"
#include "geometry/wsspline.hpp"

namespace tesvane {

namespace detail {

void spline_image(const Matrix& refxy, const Matrix& weight, double xn, double yn, double& xp,
                  double& yp) {
    const Index k = refxy.cols();
    Matrix point(2, 1);
    point << xn, yn;
    const double xmap = weight(k, 0) + weight(k + 1, 0) * xn + weight(k + 2, 0) * yn;
    const double ymap = weight(k, 1) + weight(k + 1, 1) * xn + weight(k + 2, 1) * yn;
    xp = xn + wsspline(refxy, point, weight.col(0).head(k)) + xmap;
    yp = yn + wsspline(refxy, point, weight.col(1).head(k)) + ymap;
}

}  // namespace detail

Matrix reversepw6u(const Matrix& reference, const Matrix& weight) {
    const Matrix refxy = vertxy(reference);
    const Index k = refxy.cols();
    Matrix target(1, 2 * k + 1);
    for (Index i = 0; i < k; ++i)
        detail::spline_image(refxy, weight, refxy(0, i), refxy(1, i), target(2 * i),
                             target(2 * i + 1));
    target(2 * k) = 1;
    return target;
}

}  // namespace tesvane
