// Reference landmarks carried through a fitted thin-plate spline.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Configuration row of the reference's landmarks (x_i, y_i) mapped by the spline with
// coefficients weight ((k+3) x 2: kernel weights, then constant, x and y coefficients; column 0
// the x image, column 1 the y image):
//   x'_i = x_i + sum_j w(j,0) U(|p_i - p_j|) + w(k,0) + w(k+1,0) x_i + w(k+2,0) y_i,
// y'_i likewise with column 1, followed by the value 1. A spline fitted to the displacements
// from the reference to a target reproduces the target's landmarks.
Matrix reversepw6u(const Matrix& reference, const Matrix& weight);

namespace detail {
// Image of the point (xn, yn) under the spline of landmarks refxy (2 x k) and weight.
void spline_image(const Matrix& refxy, const Matrix& weight, double xn, double yn, double& xp,
                  double& yp);
}  // namespace detail

}  // namespace tesvane
