#include "platform/linalg.hpp"

#include <Eigen/Eigenvalues>
#include <Eigen/LU>
#include <Eigen/SVD>

#include <cassert>

namespace tesvane {

namespace {

SvdResult bdcsvd(const Matrix& x, unsigned int vectors) {
    Eigen::BDCSVD<Matrix> svd(x, vectors);
    SvdResult r;
    r.U = svd.matrixU();
    r.V = svd.matrixV();
    r.S = Matrix::Zero(x.rows(), x.cols());
    const ColVector& s = svd.singularValues();  // Eigen sorts them in descending order
    for (Index i = 0; i < s.size(); ++i)
        r.S(i, i) = s(i);
    return r;
}

}  // namespace

SvdResult svd_full(const Matrix& x) {
    return bdcsvd(x, Eigen::ComputeFullU | Eigen::ComputeFullV);
}

SvdResult svd_thin(const Matrix& x) {
    return bdcsvd(x, Eigen::ComputeThinU | Eigen::ComputeThinV);
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
