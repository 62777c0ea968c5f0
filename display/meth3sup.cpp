#include "display/meth3sup.hpp"

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"

namespace tesvane {

Matrix meth3sup(const Matrix& x) {
    const Index c = x.cols();
    Matrix y = Matrix::Zero(x.rows(), c);
    for (Index i = 0; i < x.rows(); ++i) {
        const Matrix cp = centpos(x.row(i));
        for (Index j = 0; j < (c - 1) / 2; ++j) {
            y(i, 2 * j) = x(i, 2 * j) - cp(0);
            y(i, 2 * j + 1) = x(i, 2 * j + 1);
        }
        // Centroid size is measured about the row's own centroid, so the y values need no
        // centring for it.
        y.row(i) /= centsize(y.row(i))(0);
        y(i, c - 1) = x(i, c - 1);
    }
    return y;
}

}  // namespace tesvane
