#include "geometry/xyfromvert.hpp"

namespace tesvane {

Matrix xyfromvert(const Matrix& data, double cs) {
    const Index k = data.rows();
    Matrix y(1, 2 * k + 1);
    for (Index j = 0; j < k; ++j) {
        y(2 * j) = data(j, 0);
        y(2 * j + 1) = data(j, 1);
    }
    y(2 * k) = cs;
    return y;
}

}  // namespace tesvane
