// Sliding baseline registration.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Every row of x (m x (2k+1), normally baseline-registered) with only its x coordinates centred,
// so the form slides along the baseline on the x axis, then scaled to unit centroid size. The
// last value of each row is kept.
Matrix meth3sup(const Matrix& x);

}  // namespace tesvane
