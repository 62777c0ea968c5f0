// Centroid of one configuration.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Centroid [cx, cy] (1 x 2) of a configuration row of c values: the means of the x values
// x(0), x(2), ... and of the y values x(1), x(3), ... over its floor(c/2) landmarks, summed in
// landmark order. A trailing centroid size is not read.
Matrix centpos(const Matrix& x);

}  // namespace tesvane
