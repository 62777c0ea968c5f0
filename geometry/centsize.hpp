// Centroid size of each configuration of a block.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Centroid sizes of the n rows of a block (n x 1 column, row order): for each row,
// (sum over its floor(c/2) landmarks of the squared distance to the row's centroid)^0.5.
// The sum is not divided by the number of landmarks; a trailing size column is not read.
Matrix centsize(const Matrix& x);

}  // namespace tesvane
