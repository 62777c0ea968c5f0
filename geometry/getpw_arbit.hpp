// Shape scores of a landmark block on the warps of a reference.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Score block (n x (2k-3)) of the superimposed block x (n x (2k+1)) on the reference row xref
// (1 x (2k+1)). Row i: values 2j, 2j+1 for j < k-3 are the x and y scores of partial warp j
// (largest bending energy first), values 2k-6, 2k-5 the two uniform scores, value 2k-4 the
// specimen's centroid size x(i, 2k), copied. Each row equals scpcoeff_arbrot(Le, x(i, :), xref)
// laid out in that order, with Le = gettpse(gettspl(vertxy(xref))); the spline, its inverse,
// the eigen table and the uniform directions are computed once per call.
// Throws GeometryError (specimen 0) for a reference on which the spline or the uniform
// directions are undefined (see gettspl, gettpse, uniform_basis).
Matrix getpw_arbit(const Matrix& xref, const Matrix& x);

}  // namespace tesvane
