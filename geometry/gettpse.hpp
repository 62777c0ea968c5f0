// Bending-energy matrix and its eigenvectors (the principal warps).
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Eigen table Le = [E, D] (k x 2k) of a spline matrix L ((k+3) x (k+3), from gettspl).
// Lk, the upper left k x k block of L^-1, is the bending-energy matrix; E holds its unit
// eigenvectors as columns and D the matching eigenvalues on its diagonal. A negative eigenvalue
// is negated together with its vector, then an exchange sort puts the eigenvalues in descending
// order (a later value moves forward only when strictly greater), so column 0 is the warp of
// largest bending energy; the last three values belong to the affine part and are zero up to
// rounding. Eigenvector signs are those of the eigen-solver.
// Throws GeometryError (specimen 0) when L is singular or not finite.
Matrix gettpse(const Matrix& L);

}  // namespace tesvane
