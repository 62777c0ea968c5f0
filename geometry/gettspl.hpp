// Thin-plate spline matrix of a reference form.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Spline matrix L = [P, Q; Q^T, 0] ((k+3) x (k+3), symmetric) of a reference form in vertical
// layout (2 x k): P(i, j) = uspline(landmark i, landmark j) with a zero diagonal, row j of Q is
// (1, x_j, y_j), and the lower right block is a 3 x 3 zero.
// Throws GeometryError (specimen 0) when the spline is undefined: fewer than 3 landmarks, a
// coordinate that is not finite, two coincident landmarks, or all landmarks on one line (the
// smaller singular value of the centred coordinates at most 1e-10 of the larger); L would be
// singular in each case.
Matrix gettspl(const Matrix& x);

}  // namespace tesvane
