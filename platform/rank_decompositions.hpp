// Decompositions of wide data through its rank. With n specimens and p >> n variables every
// p x p matrix (a covariance, the cross-covariance's right singular vectors) has rank below n:
// the parts that carry values come from thin factorisations of the n x p data in O(n^2 p), and
// the rest of a square result is an orthonormal complement, arbitrary as it always was.
// Small problems take the direct routines of platform/linalg, so their results do not change.
#pragma once

#include "platform/linalg.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

// Beyond this many columns a decomposition of wide data goes through the rank.
inline constexpr Index kDirectDecompositionLimit = 256;

// The SVD of X = left^T right / divisor (left n x q, right n x p), full or thin as svd_full and
// svd_thin give it.
SvdResult svd_of_cross_product(const Matrix& left, const Matrix& right, double divisor, bool thin);

// eig_sym of the sample covariance of `block`'s columns (divisor n - 1): eigenvalues ascending,
// unit eigenvectors as columns.
SymEigResult covariance_eigen(const Matrix& block);

// The orthonormal columns of B (m x r) followed by cols - r orthonormal columns orthogonal to
// them: an m x cols matrix, cols >= r.
Matrix complete_basis(const Matrix& B, Index cols);

}  // namespace tesvane
