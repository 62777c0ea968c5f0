#include "display/UniAxis.hpp"

#include <cmath>

#include "geometry/uniparmproc.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"

namespace tesvane {

Matrix UniAxis(const Matrix& reference, int choice) {
    const Matrix refxy = vertxy(reference);
    const Matrix ag = uniparmproc(reference);
    const double alpha = ag(0);
    const double gamma = ag(1);
    if (!(alpha > 0) || !(gamma > 0)) {
        throw GeometryError(0,
                            "the reference form has all its x or all its y coordinates at zero, "
                            "so its uniform patterns are undefined");
    }
    // The 0.01 step of the weights cancels in the normalisation; only the choice matters.
    const double w1 = choice == 1 ? 0.01 : 0.0;
    const double w2 = choice == 1 ? 0.0 : 0.01;
    const double a = std::sqrt(alpha / gamma);
    const double g = std::sqrt(gamma / alpha);
    const Index k = refxy.cols();
    Matrix y(k, 2);
    for (Index i = 0; i < k; ++i) {
        const double xn = refxy(0, i);
        const double yn = refxy(1, i);
        y(i, 0) = yn * a * w1 - xn * g * w2;
        y(i, 1) = xn * g * w1 + yn * a * w2;
    }
    return y / std::sqrt(y.col(0).squaredNorm() + y.col(1).squaredNorm());
}

}  // namespace tesvane
