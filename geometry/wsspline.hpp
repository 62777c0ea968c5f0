// Kernel part of a thin-plate spline at one point.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// sum_i w(i) * U(|x(:, i) - yt|) for landmarks x (2 x k), a point yt (2 x 1) and k weights w
// (any shape, read by linear position), summed in landmark order. Only the kernel terms: a
// caller that interpolates a whole spline adds the affine part itself.
double wsspline(const Matrix& x, const Matrix& yt, const Matrix& w);

}  // namespace tesvane
