// Shape scores on a reference whose spline has been decomposed once.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// What getpw_arbit derives from its reference before it scores any specimen: the eigen table
// Le = gettpse(gettspl(vertxy(xref))) (a matrix inverse and a symmetric eigen-decomposition)
// and the uniform directions. The bootstrap scores two resamples on each of its references.
struct WarpBasis {
    Matrix xref;
    Matrix Le;
    Matrix xu;
};

// Throws GeometryError as getpw_arbit does for a reference without a spline.
WarpBasis warp_basis(const Matrix& xref);

// getpw_arbit(basis.xref, x) up to rounding, formed with one product per kind of score rather
// than one per specimen. Throws Error when the rows of x do not fit the basis.
Matrix warp_scores(const WarpBasis& basis, const Matrix& x);

}  // namespace tesvane
