// Landmark-per-row layout back to a configuration row.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Configuration row of a k x 2 form (row j = landmark j): the 1 x (2k+1) row
// x1, y1, ..., xk, yk, cs. The result always carries the trailing size value, so it can be
// stored as a row of a landmark block. Note the input is the transpose of what vertxy yields.
Matrix xyfromvert(const Matrix& data, double cs);

}  // namespace tesvane
