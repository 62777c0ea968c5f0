#include "platform/stats.hpp"

#include <algorithm>
#include <cassert>
#include <vector>

namespace tesvane {

RowVector column_means(const Matrix& a) {
    return a.colwise().mean();
}

Matrix centre_columns(const Matrix& a) {
    return a.rowwise() - column_means(a);
}

Matrix covariance(const Matrix& a) {
    if (a.rows() < 2)
        return Matrix::Zero(a.cols(), a.cols());
    const Matrix c = centre_columns(a);
    return (c.transpose() * c) / static_cast<double>(a.rows() - 1);
}

RowVector std_dev(const Matrix& a) {
    if (a.rows() < 2)
        return RowVector::Zero(a.cols());
    const Matrix c = centre_columns(a);
    return (c.colwise().squaredNorm() / static_cast<double>(a.rows() - 1)).array().sqrt();
}

Matrix corrcoef(const ColVector& a, const ColVector& b) {
    assert(a.size() == b.size());
    const ColVector ca = a.array() - a.mean();
    const ColVector cb = b.array() - b.mean();
    const double r = ca.dot(cb) / std::sqrt(ca.squaredNorm() * cb.squaredNorm());
    Matrix m(2, 2);
    m << 1.0, r, r, 1.0;
    return m;
}

RowVector median(const Matrix& a) {
    RowVector out(a.cols());
    std::vector<double> v;
    for (Index j = 0; j < a.cols(); ++j) {
        v.assign(a.col(j).data(), a.col(j).data() + a.rows());
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        out(j) = n == 0 ? std::nan("") : (n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]));
    }
    return out;
}

Matrix sort_columns(const Matrix& a) {
    Matrix s = a;
    for (Index j = 0; j < s.cols(); ++j)
        std::sort(s.col(j).begin(), s.col(j).end());
    return s;
}

}  // namespace tesvane
