#include "geometry/centpos.hpp"

namespace tesvane {

Matrix centpos(const Matrix& x) {
    const Index k = x.size() / 2;
    double sx = 0.0;
    double sy = 0.0;
    for (Index j = 0; j < k; ++j) {
        sx += x(2 * j);
        sy += x(2 * j + 1);
    }
    Matrix y(1, 2);
    y(0) = sx / static_cast<double>(k);
    y(1) = sy / static_cast<double>(k);
    return y;
}

}  // namespace tesvane
