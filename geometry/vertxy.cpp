#include "geometry/vertxy.hpp"

namespace tesvane {

Matrix vertxy(const Matrix& x) {
    const Index k = x.size() / 2;
    Matrix y(2, k);
    for (Index j = 0; j < k; ++j) {
        y(0, j) = x(2 * j);
        y(1, j) = x(2 * j + 1);
    }
    return y;
}

}  // namespace tesvane
