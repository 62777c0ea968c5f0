// Generalized Procrustes superimposition of a landmark block.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

struct Consensus {
    Matrix reference;     // 1 x c consensus row, coordinate part of unit centroid size
    Matrix superimposed;  // the n x c block after the last pass
    int iterations;       // passes made
};

// The loop stops when the squared change of the consensus over one pass is at or below this.
inline constexpr double kConsensusTolerance = 7.450580596923829e-10;
// Guard against a loop that never settles; converging input never comes near it.
inline constexpr int kMaxConsensusPasses = 10000;

// Consensus of a block x of n configuration rows (c = 2k+1 columns, last the centroid size).
// Every row is centred and scaled to unit centroid size; the first row so treated is the
// initial reference. Each pass turns every row onto the reference (rotations accumulate), then
// takes the column means of all c columns and divides the whole row by the norm of its first
// c-1 values. Passes repeat while the summed squared change of those c-1 values exceeds
// kConsensusTolerance. The last column of the block is carried through unchanged; the last
// value of the reference is the mean of that column over the same norm. The consensus keeps
// the orientation of the first specimen.
// Throws GeometryError for an empty block, for a row that cannot be scaled (see
// detail::center_and_scale) and when kMaxConsensusPasses passes do not converge.
Consensus getconsensus(const Matrix& x);

namespace detail {
// getconsensus with another pass limit.
Consensus getconsensus_capped(const Matrix& x, int max_passes);
}  // namespace detail

}  // namespace tesvane
