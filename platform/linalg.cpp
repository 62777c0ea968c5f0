#include "platform/linalg.hpp"

#include <cassert>

namespace tesvane {

SvdResult svd_full(const Matrix& x) {
    Eigen::BDCSVD<Matrix> svd(x, Eigen::ComputeFullU | Eigen::ComputeFullV);
    SvdResult r;
    r.U = svd.matrixU();
    r.V = svd.matrixV();
    r.S = Matrix::Zero(x.rows(), x.cols());
    const ColVector& s = svd.singularValues();  // Eigen sorts them in descending order
    for (Index i = 0; i < s.size(); ++i)
        r.S(i, i) = s(i);
    return r;
}

SymEigResult eig_sym(const Matrix& a) {
    assert(a.rows() == a.cols());
    Eigen::SelfAdjointEigenSolver<Matrix> es(a, Eigen::ComputeEigenvectors);
    return {es.eigenvectors(), es.eigenvalues()};  // ascending, unit columns
}

Matrix inverse(const Matrix& a) {
    assert(a.rows() == a.cols());
    // Partial pivoting divides by a zero pivot, so a singular matrix gives infinite or
    // not-a-number entries; full pivoting would quietly return a finite pseudo-solution.
    return Eigen::PartialPivLU<Matrix>(a).inverse();
}

bool is_invertible(const Matrix& a) {
    if (!a.allFinite())
        return false;
    return Eigen::FullPivLU<Matrix>(a).isInvertible();
}

}  // namespace tesvane
