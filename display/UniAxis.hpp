// Uniform displacement patterns in the reference's own frame.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Uniform pattern `choice` (1 or 2) of a reference row (1 x (2k+1)) as a k x 2 matrix, one
// landmark a row. With alpha, gamma the sums of the squared x and y coordinates (uniparmproc),
// landmark (x, y) moves by (y (alpha/gamma)^0.5, x (gamma/alpha)^0.5) for choice 1 and by
// (-x (gamma/alpha)^0.5, y (alpha/gamma)^0.5) otherwise, scaled to unit Euclidean length.
// The reference is not turned onto its principal axes first.
// Throws GeometryError (specimen 0) when alpha or gamma is not positive: the pattern would be
// 0/0.
Matrix UniAxis(const Matrix& reference, int choice);

}  // namespace tesvane
