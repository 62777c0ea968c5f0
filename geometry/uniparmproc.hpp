// Second moments of a configuration about its axes.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// [alpha, gamma] (1 x 2) of a configuration row yref (c = 2k+1 values): alpha the sum of the
// squared x values yref(0), yref(2), ..., gamma the sum of the squared y values yref(1),
// yref(3), ..., over the first c-1 values.
Matrix uniparmproc(const Matrix& yref);

}  // namespace tesvane
