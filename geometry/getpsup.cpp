#include "geometry/getpsup.hpp"

#include <string>

#include "geometry/procrustes_steps.hpp"
#include "platform/error.hpp"

namespace tesvane {

Matrix getpsup(const Matrix& x, const Matrix& xref) {
    if (xref.size() < x.cols() - 1) {
        throw GeometryError(0, "the reference form has " + std::to_string(xref.size()) +
                                   " values but the block needs " + std::to_string(x.cols() - 1) +
                                   " coordinates");
    }
    Matrix y = x;
    detail::center_and_scale(y);
    for (Index i = 0; i < y.rows(); ++i) {
        detail::rotate_onto(y, i, xref);
    }
    return y;
}

}  // namespace tesvane
