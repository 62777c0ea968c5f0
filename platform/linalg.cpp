#include "platform/linalg.hpp"

#include <Eigen/Eigenvalues>
#include <Eigen/LU>
#include <Eigen/SVD>

#include <cassert>
#include <cmath>

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

// An eigenvector's sign is arbitrary, and which one a library returns depends on its arithmetic
// (vector instructions, compiler): the same data gave mirrored partial warps in the desktop and
// the WebAssembly builds. Each column is turned so that its largest entry is positive; of
// entries equal in size up to rounding, the first counts.
void orient_columns(Matrix& v) {
    for (Index j = 0; j < v.cols(); ++j) {
        const double largest = v.col(j).cwiseAbs().maxCoeff();
        for (Index i = 0; i < v.rows(); ++i) {
            if (std::abs(v(i, j)) >= largest * (1 - 1e-9)) {
                if (v(i, j) < 0)
                    v.col(j) = -v.col(j);
                break;
            }
        }
    }
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
    SymEigResult r{es.eigenvectors(), es.eigenvalues()};  // ascending, unit columns
    orient_columns(r.vectors);
    return r;
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
