#include "display/UniArbitrary.hpp"

#include "geometry/uniform_scores.hpp"
#include "platform/scalar.hpp"

namespace tesvane {

Matrix UniArbitrary(const Matrix& xref) {
    const Matrix rounded =
        xref.unaryExpr([](double v) { return round_half_away(10000.0 * v) / 10000.0; });
    return uniform_basis(rounded);
}

}  // namespace tesvane
