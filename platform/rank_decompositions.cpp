#include "platform/rank_decompositions.hpp"

#include <algorithm>
#include <cassert>

#include <Eigen/QR>

#include "platform/stats.hpp"

namespace tesvane {
namespace {

bool direct(Index n, Index q, Index p) {
    return std::min(q, p) <= n || std::max(q, p) <= kDirectDecompositionLimit;
}

// An orthonormal basis of the columns of a^T (a: n x m, m > n) and the triangle with
// a^T = Q T: Q (m x n), T (n x n).
struct ThinQr {
    Matrix Q, T;
};
ThinQr thin_qr_of_transpose(const Matrix& a) {
    const Index m = a.cols();
    const Index n = a.rows();
    Eigen::HouseholderQR<Matrix> qr(a.transpose());
    ThinQr r;
    r.Q = qr.householderQ() * Matrix::Identity(m, n);
    r.T = qr.matrixQR().topRows(n).triangularView<Eigen::Upper>();
    return r;
}

}  // namespace

Matrix complete_basis(const Matrix& B, Index cols) {
    const Index m = B.rows();
    const Index r = B.cols();
    assert(cols >= r && cols <= m);
    Matrix out(m, cols);
    out.leftCols(r) = B;
    if (cols > r) {
        // The Householder vectors of B span its columns first; the columns of Q after the r-th
        // are orthogonal to them.
        Eigen::HouseholderQR<Matrix> qr(B);
        Matrix pick = Matrix::Zero(m, cols - r);
        pick.bottomRows(m - r).topRows(cols - r).setIdentity();
        out.rightCols(cols - r) = qr.householderQ() * pick;
    }
    return out;
}

SvdResult svd_of_cross_product(const Matrix& left, const Matrix& right, double divisor, bool thin) {
    const Index n = left.rows();
    const Index q = left.cols();
    const Index p = right.cols();
    if (direct(n, q, p)) {
        const Matrix X = (left.transpose() * right) / divisor;
        return thin ? svd_thin(X) : svd_full(X);
    }
    // X = Ql Tl Tr^T Qr^T / divisor: only the n x n middle is decomposed.
    const ThinQr l = thin_qr_of_transpose(left);
    const ThinQr r = thin_qr_of_transpose(right);
    const SvdResult k = svd_full((l.T * r.T.transpose()) / divisor);
    const Index axes = std::min(q, p);
    SvdResult d;
    d.U = complete_basis(l.Q * k.U, thin ? axes : q);
    d.V = complete_basis(r.Q * k.V, thin ? axes : p);
    d.S = Matrix::Zero(q, p);
    for (Index i = 0; i < n; ++i)
        d.S(i, i) = k.S(i, i);
    return d;
}

SymEigResult covariance_eigen(const Matrix& block) {
    const Index n = block.rows();
    const Index p = block.cols();
    if (n < 2 || direct(n, p, p))
        return eig_sym(covariance(block));
    // The covariance is C^T C / (n - 1) for the centred block C = U S V^T: its eigenvectors
    // with values are V's columns, the others complete them.
    const SvdResult c = svd_thin(centre_columns(block));
    const Index r = c.V.cols();  // n
    Matrix values_first(p, r);
    ColVector values = ColVector::Zero(p);
    for (Index i = 0; i < r; ++i) {
        values_first.col(r - 1 - i) = c.V.col(i);  // ascending
        values(p - r + (r - 1 - i)) = c.S(i, i) * c.S(i, i) / static_cast<double>(n - 1);
    }
    const Matrix full = complete_basis(values_first, p);
    SymEigResult e;
    e.vectors.resize(p, p);
    e.vectors.leftCols(p - r) = full.rightCols(p - r);
    e.vectors.rightCols(r) = values_first;
    e.values = values;
    return e;
}

}  // namespace tesvane
