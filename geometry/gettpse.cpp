#include "geometry/gettpse.hpp"

#include <utility>

#include "platform/error.hpp"
#include "platform/linalg.hpp"

namespace tesvane {

Matrix gettpse(const Matrix& L) {
    if (!is_invertible(L)) {
        throw GeometryError(0,
                            "the spline matrix is singular (the reference form's landmarks are "
                            "collinear or coincide), so the thin-plate spline is undefined");
    }
    const Index k = L.rows() - 3;
    const Matrix Lk = inverse(L).topLeftCorner(k, k);
    SymEigResult eig = eig_sym(Lk);
    Matrix& E = eig.vectors;
    ColVector& d = eig.values;
    for (Index i = 0; i < k; ++i) {
        if (d(i) < 0.0) {
            d(i) = -d(i);
            E.col(i) = -E.col(i);
        }
    }
    for (Index i = 0; i + 1 < k; ++i) {
        for (Index j = i + 1; j < k; ++j) {
            if (d(j) > d(i)) {
                std::swap(d(i), d(j));
                E.col(i).swap(E.col(j));
            }
        }
    }
    Matrix Le = Matrix::Zero(k, 2 * k);
    Le.leftCols(k) = E;
    Le.rightCols(k).diagonal() = d;
    return Le;
}

}  // namespace tesvane
