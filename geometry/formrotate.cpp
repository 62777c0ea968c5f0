#include "geometry/formrotate.hpp"

#include <cmath>

#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"

namespace tesvane {

Matrix formrotate(const Matrix& x, double theta) {
    const double cs = std::cos(theta);
    const double sn = std::sin(theta);
    const Matrix v = vertxy(x);
    Matrix vx(v.cols(), 2);
    for (Index j = 0; j < v.cols(); ++j) {
        vx(j, 0) = cs * v(0, j) - sn * v(1, j);
        vx(j, 1) = sn * v(0, j) + cs * v(1, j);
    }
    return xyfromvert(vx, x(x.size() - 1));
}

}  // namespace tesvane
