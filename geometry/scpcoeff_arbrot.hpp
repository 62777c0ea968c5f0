// Partial-warp and uniform scores of one specimen.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Scores of one configuration row x (1 x (2k+1)) on the warps of the reference row xref, given
// the eigen table Lex = [E, D] (k x 2k, from gettpse) of that reference. Returns (k-2) x 2:
// row j < k-3 holds (E(:, j) . x-values, E(:, j) . y-values), the raw projections of the
// specimen's coordinates on principal warp j (largest bending energy first; E(:, j) is
// orthogonal to the reference's affine part, so projecting x - xref gives the same); row k-3
// holds the uniform scores uniform_scores(x, xref). The eigenvalue half of Lex is not read.
// Throws GeometryError as uniform_basis does.
Matrix scpcoeff_arbrot(const Matrix& Lex, const Matrix& x, const Matrix& xref);

namespace detail {
// scpcoeff_arbrot with the uniform directions xu = uniform_basis(xref) already at hand.
Matrix scpcoeff_with_basis(const Matrix& Lex, const Matrix& xu, const Matrix& x,
                           const Matrix& xref);
}  // namespace detail

}  // namespace tesvane
