#include "geometry/gettspl.hpp"

#include <string>

#include "geometry/uspline.hpp"
#include "platform/error.hpp"
#include "platform/linalg.hpp"

namespace tesvane {

namespace {

// Relative size of the smaller principal spread below which the form counts as a line. A form
// collinear up to rounding gives about 1e-16 here; real forms give 1e-2 and more.
constexpr double kCollinearRatio = 1e-10;

void check_reference(const Matrix& x) {
    const Index k = x.cols();
    if (k < 3) {
        throw GeometryError(0, "the reference form has fewer than 3 landmarks");
    }
    if (!x.allFinite()) {
        throw GeometryError(0, "the reference form has a coordinate that is not a finite number");
    }
    for (Index i = 0; i + 1 < k; ++i) {
        for (Index j = i + 1; j < k; ++j) {
            if (x(0, i) == x(0, j) && x(1, i) == x(1, j)) {
                throw GeometryError(0, "landmarks " + std::to_string(i + 1) + " and " +
                                           std::to_string(j + 1) +
                                           " of the reference form coincide, so the thin-plate "
                                           "spline is undefined");
            }
        }
    }
    const Matrix centred = x.transpose().rowwise() - x.transpose().colwise().mean();
    const Matrix& s = svd_full(centred).S;
    if (s(1, 1) <= kCollinearRatio * s(0, 0)) {
        throw GeometryError(0,
                            "the reference form's landmarks are collinear, so the thin-plate "
                            "spline is undefined");
    }
}

}  // namespace

Matrix gettspl(const Matrix& x) {
    check_reference(x);
    const Index k = x.cols();
    Matrix L = Matrix::Zero(k + 3, k + 3);
    for (Index i = 0; i + 1 < k; ++i) {
        for (Index j = i + 1; j < k; ++j) {
            L(i, j) = uspline(x.col(i).transpose(), x.col(j).transpose());
            L(j, i) = L(i, j);
        }
    }
    for (Index j = 0; j < k; ++j) {
        L(j, k) = 1.0;
        L(j, k + 1) = x(0, j);
        L(j, k + 2) = x(1, j);
        L(k, j) = 1.0;
        L(k + 1, j) = x(0, j);
        L(k + 2, j) = x(1, j);
    }
    return L;
}

}  // namespace tesvane
