// Uniform (affine) component directions and scores.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The two unit uniform directions of a reference row xref (1 x (2k+1)) in its own orientation,
// as a 2 x 2k matrix in interleaved x, y order.
// With Sxx, Syy, Sxy the moments of xref, theta = 0.5 atan(-2 Sxy / (Sxx - Syy)) (pi/2 when
// Sxx = Syy), reduced into (-pi/4, pi/4] by steps of pi/2, turns the reference onto its
// principal axes: xrefp = formrotate(xref, theta), [alpha, gamma] = uniparmproc(xrefp). There
// the directions are, for landmark i with turned coordinates (x'_i, y'_i),
//   row 0: (y'_i (alpha/gamma)^0.5,  x'_i (gamma/alpha)^0.5)
//   row 1: (-x'_i (gamma/alpha)^0.5, y'_i (alpha/gamma)^0.5).
// Each row is applied as a step of 0.05 from xrefp, the displaced form is turned back by
// -theta, xref is subtracted and the difference is scaled to unit length.
// Throws GeometryError (specimen 0) when xref is not finite or has (relatively) no spread
// along one principal axis, min(alpha, gamma) <= 1e-20 (alpha + gamma): the square roots
// would divide by zero.
Matrix uniform_basis(const Matrix& xref);

// Uniform scores [u1, u2] (1 x 2) of a specimen row x against the reference row xref: the
// projections of x(0 .. 2k-1) - xref(0 .. 2k-1) onto the two rows of uniform_basis(xref).
Matrix uniform_scores(const Matrix& x, const Matrix& xref);

namespace detail {
// uniform_scores with the directions xu = uniform_basis(xref) already at hand.
Matrix project_uniform(const Matrix& xu, const Matrix& x, const Matrix& xref);
}  // namespace detail

}  // namespace tesvane
