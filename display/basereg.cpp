#include "display/basereg.hpp"

#include <cmath>
#include <string>

#include "platform/error.hpp"

namespace tesvane {

Matrix basereg(const Matrix& x, int b1, int b2) {
    const Index c = x.cols();
    const Index k = c / 2;
    for (int b : {b1, b2}) {
        if (b < 1 || b > k) {
            throw Error("base landmark " + std::to_string(b) + " is not one of the " +
                        std::to_string(k) + " landmarks");
        }
    }
    const Index i1 = 2 * (b1 - 1);
    const Index i2 = 2 * (b2 - 1);
    Matrix y = x;
    for (Index i = 0; i < x.rows(); ++i) {
        const double tx = y(i, i1);
        const double ty = y(i, i1 + 1);
        for (Index j = 0; j < k; ++j) {
            y(i, 2 * j) -= tx;
            y(i, 2 * j + 1) -= ty;
        }
        const double length = std::hypot(y(i, i2), y(i, i2 + 1));
        if (!(length > 0)) {
            throw Error("base landmarks " + std::to_string(b1) + " and " + std::to_string(b2) +
                        " coincide in row " + std::to_string(i + 1) +
                        ", so the baseline has no direction");
        }
        y.row(i) /= length;
        const double theta = -std::atan2(y(i, i2 + 1), y(i, i2));
        const double ct = std::cos(theta);
        const double st = std::sin(theta);
        for (Index j = 0; j < k; ++j) {
            const double old_x = y(i, 2 * j);
            y(i, 2 * j) = old_x * ct - st * y(i, 2 * j + 1);
            y(i, 2 * j + 1) = y(i, 2 * j + 1) * ct + st * old_x;
        }
        if (c % 2 == 1)
            y(i, c - 1) = x(i, c - 1);
    }
    return y;
}

}  // namespace tesvane
