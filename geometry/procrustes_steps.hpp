// The two per-specimen steps that getconsensus and getpsup share.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane::detail {

// Step A on every row of the block x (n x (2k+1)), in place and in row order: subtract the
// row's centroid from its x and y values, then divide its 2k coordinates by the centroid size
// of the centred row. The last column is left alone.
// Throws GeometryError naming the 1-based row when a coordinate is not finite or the centroid
// size is 0 or overflows, since the division would fill the block with not-a-number values.
void center_and_scale(Matrix& x);

// Step B: turn row i of x about the origin by theta = atan2(st, ct), where
// ct = sum_j (rx_j x_j + ry_j y_j) and st = sum_j (x_j ry_j - y_j rx_j) over the landmarks and
// r is a reference row (x values r(0), r(2), ..., y values r(1), r(3), ...). This is the
// rotation that maximises the inner product with r; no reflection, no rescaling.
void rotate_onto(Matrix& x, Index i, const Matrix& r);

}  // namespace tesvane::detail
