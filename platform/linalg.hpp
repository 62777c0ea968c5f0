// Decompositions with the conventions the analysis relies on.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// Full singular value decomposition X = U S V^T: U (m x m) and V (n x n) orthogonal, S of the
// shape of X with the singular values in descending order on its diagonal.
struct SvdResult {
    Matrix U;
    Matrix S;
    Matrix V;
};
SvdResult svd_full(const Matrix& x);
// The same with only the first r = min(m, n) columns of U and V (m x r and n x r); S keeps the
// shape of X. Cheaper when only the axes that have singular values are needed.
SvdResult svd_thin(const Matrix& x);

// Eigen-decomposition of a symmetric matrix: unit eigenvectors as columns of `vectors`,
// eigenvalues in ascending order, vectors(:, i) belonging to values(i). Each vector's largest
// entry (the first of entries equal in size up to rounding) is positive, so that every build
// gives the same signs.
struct SymEigResult {
    Matrix vectors;
    ColVector values;
};
SymEigResult eig_sym(const Matrix& a);

// Inverse of a square matrix. A singular matrix gives infinite or not-a-number entries; callers
// that must not go on with such a result check `is_invertible` first.
Matrix inverse(const Matrix& a);
bool is_invertible(const Matrix& a);

}  // namespace tesvane
