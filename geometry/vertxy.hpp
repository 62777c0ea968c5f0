// Configuration row to vertical layout.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Vertical layout of one configuration row: for a row of c values, the 2 x floor(c/2) matrix
// with y(0, j) = x(2j) and y(1, j) = x(2j+1). The input is read by linear position, so it must
// be a single row; a trailing centroid size (odd c) is skipped.
Matrix vertxy(const Matrix& x);

}  // namespace tesvane
