// Rotation of a configuration row.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The landmarks of a configuration row x (c values) turned counter-clockwise about the origin
// by theta radians: x' = cos(theta) x - sin(theta) y, y' = sin(theta) x + cos(theta) y for
// each of the floor(c/2) landmarks, followed by the last value of x. The result has
// 2 floor(c/2) + 1 values; the input needs a trailing value after its coordinates.
Matrix formrotate(const Matrix& x, double theta);

}  // namespace tesvane
