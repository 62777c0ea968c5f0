#include "geometry/scpcoeff_arbrot.hpp"

#include <cassert>

#include "geometry/uniform_scores.hpp"
#include "geometry/vertxy.hpp"

namespace tesvane {

Matrix scpcoeff_arbrot(const Matrix& Lex, const Matrix& x, const Matrix& xref) {
    return detail::scpcoeff_with_basis(Lex, uniform_basis(xref), x, xref);
}

namespace detail {

Matrix scpcoeff_with_basis(const Matrix& Lex, const Matrix& xu, const Matrix& x,
                           const Matrix& xref) {
    const Index c = x.size();
    const Index k = Lex.cols() / 2;
    assert(c == 2 * k + 1 && Lex.rows() == k);
    const Matrix v = vertxy(x.reshaped().head(c - 1));
    const Matrix y = Lex.leftCols(k).transpose() * v.transpose();
    Matrix t(k - 2, 2);
    t.topRows(k - 3) = y.topRows(k - 3);
    t.row(k - 3) = project_uniform(xu, x, xref);
    return t;
}

}  // namespace detail

}  // namespace tesvane
