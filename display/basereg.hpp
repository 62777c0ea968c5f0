// Baseline registration.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Every configuration row of x (m x c) translated so that landmark b1 (numbered from 1) is at
// the origin, scaled by the baseline length |p_b2 - p_b1| and turned by -atan2 of the baseline,
// so that landmark b2 lands on (1, 0). A trailing value (odd c) is kept as it was.
// Throws Error when b1 or b2 is not a landmark of the rows or the two coincide in a row.
Matrix basereg(const Matrix& x, int b1, int b2);

}  // namespace tesvane
