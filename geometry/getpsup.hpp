// Superimposition of a block onto a given reference.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The block x (n configuration rows of c = 2k+1 values) superimposed in one pass onto xref:
// every row is centred and scaled to unit centroid size, then turned once onto xref (see
// detail::rotate_onto). xref is used as given (not centred, scaled or normalised) and needs at
// least c-1 values. The last column is carried through unchanged.
// Throws GeometryError for a row that cannot be scaled or a reference that is too short.
Matrix getpsup(const Matrix& x, const Matrix& xref);

}  // namespace tesvane
