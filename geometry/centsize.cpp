#include "geometry/centsize.hpp"

#include <cmath>

#include "geometry/centpos.hpp"

namespace tesvane {

Matrix centsize(const Matrix& x) {
    const Index n = x.rows();
    const Index k = x.cols() / 2;
    Matrix y(n, 1);
    for (Index i = 0; i < n; ++i) {
        const Matrix row = x.row(i);
        const Matrix cp = centpos(row);
        double s = 0.0;
        for (Index j = 0; j < k; ++j) {
            const double dx = row(2 * j) - cp(0);
            const double dy = row(2 * j + 1) - cp(1);
            s += dx * dx + dy * dy;
        }
        y(i) = std::pow(s, 0.5);
    }
    return y;
}

}  // namespace tesvane
