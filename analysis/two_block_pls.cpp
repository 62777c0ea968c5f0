#include "analysis/two_block_pls.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "platform/error.hpp"
#include "platform/linalg.hpp"
#include "platform/rank_decompositions.hpp"
#include "platform/scalar.hpp"
#include "platform/stats.hpp"

namespace tesvane {

BlockPls block_pls(const Matrix& left, const Matrix& right, double divisor, const Matrix& score1,
                   const Matrix& score2, Index score_axes, bool thin, double scale) {
    SvdResult d = svd_of_cross_product(left, right, divisor, thin);
    const double floor = static_cast<double>(left.rows()) *
                         static_cast<double>(std::max(left.cols(), right.cols())) *
                         std::numeric_limits<double>::epsilon() * scale / std::abs(divisor);
    if (d.S.size() > 0 && !(d.S(0, 0) > floor))
        d.S.setZero();
    BlockPls r;
    const Index axes = std::min(left.cols(), right.cols());
    if (score_axes == kAllAxes) {
        r.swc1 = score1 * d.U;
        r.swc2 = score2 * d.V;
        score_axes = axes;
    } else {
        score_axes = std::min(score_axes, axes);
        r.swc1 = score1 * d.U.leftCols(score_axes);
        r.swc2 = score2 * d.V.leftCols(score_axes);
    }
    r.sval.resize(axes);
    for (Index i = 0; i < axes; ++i)
        r.sval(i) = d.S(i, i);
    r.scor.resize(score_axes);
    for (Index i = 0; i < score_axes; ++i)
        r.scor(i) = corrcoef(r.swc1.col(i), r.swc2.col(i))(0, 1);
    r.U = std::move(d.U);
    r.S = std::move(d.S);
    r.V = std::move(d.V);
    return r;
}

double null_tolerance(const Matrix& S) {
    if (S.size() == 0)
        return 0.0;
    return static_cast<double>(std::max(S.rows(), S.cols())) *
           std::numeric_limits<double>::epsilon() * S(0, 0);
}

bool is_null_axis(const Matrix& S, Index i) {
    // Written as "not above" so that an all-zero X, and a not-a-number, count as null too.
    return !(S(i, i) > null_tolerance(S));
}

double axis_angle(const Matrix& a, const Matrix& b, Index i, double factor) {
    if (a.rows() != b.rows()) {
        throw Error("the axes of the two groups have different lengths (" +
                    std::to_string(a.rows()) + " and " + std::to_string(b.rows()) +
                    "), so no angle between them can be taken");
    }
    return kDegreesPerRadian * acos_real(std::abs(a.col(i).dot(b.col(i)) * factor));
}

Matrix stack_rows(const Matrix& a, const Matrix& b, const char* what) {
    if (a.cols() != b.cols()) {
        throw Error(std::string(what) + " has " + std::to_string(a.cols()) +
                    " columns in group 1 but " + std::to_string(b.cols()) +
                    " in group 2; the two groups cannot be pooled");
    }
    Matrix s(a.rows() + b.rows(), a.cols());
    s << a, b;
    return s;
}

}  // namespace tesvane
