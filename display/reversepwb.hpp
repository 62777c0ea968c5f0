// From a row of shape scores back to a configuration.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The reference row (1 x (2k+1)) displaced by the score vector pw (2k-3 values in score-row
// order: x and y scores of partial warps 1 ... k-3, the two uniform scores, then a placeholder
// in the place of cs, which is not read):
//   result = reference + sum_i pw(2i-1) [V_i, 0] + pw(2i) [0, V_i] + pw(2k-5) u1 + pw(2k-4) u2,
// where V_i is the i-th principal warp (gettpse: the eigenvectors that the scores were projected
// on, largest bending energy first) and u1, u2 are the uniform patterns of UniAxis. The last
// value stays the reference's cs.
// Throws Error when pw does not have 2k-3 values, GeometryError for a reference on which the
// spline or the uniform patterns are undefined.
Matrix reversepwb(const Matrix& reference, const Matrix& pw);

namespace detail {
// reference + basis x pw(0 .. 2k-5)^T with the warp columns of the reference and the two given
// uniform patterns (each 2k interleaved values).
Matrix displace_by_scores(const Matrix& reference, const Matrix& pw, const Matrix& u1,
                          const Matrix& u2);
}  // namespace detail

}  // namespace tesvane
