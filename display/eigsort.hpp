// Eigenvectors in descending order of eigenvalue.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

struct SortedEigen {
    Matrix VR;  // columns of V, largest eigenvalue first
    Matrix DR;  // n x n diagonal of the matching eigenvalues
};

// Columns of V and the diagonal of D (n x n) reordered by the keys max(D) - D(i, i) in a stable
// ascending sort: eigenvalues descend, equal ones keep their input order, and every eigenvector
// keeps the sign it came with.
SortedEigen eigsort(const Matrix& V, const Matrix& D);

}  // namespace tesvane
