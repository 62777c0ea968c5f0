#include "geometry/getpw_arbit.hpp"

#include <string>

#include "geometry/gettpse.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/scpcoeff_arbrot.hpp"
#include "geometry/uniform_scores.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"

namespace tesvane {

Matrix getpw_arbit(const Matrix& xref, const Matrix& x) {
    const Index n = x.rows();
    const Index c = x.cols();
    const Index k = (c - 1) / 2;
    if (xref.size() != c) {
        throw GeometryError(0, "the reference form has " + std::to_string(xref.size()) +
                                   " values but the block's rows have " + std::to_string(c));
    }
    const Matrix Le = gettpse(gettspl(vertxy(xref)));
    const Matrix xu = uniform_basis(xref);
    Matrix scores(n, 2 * k - 3);
    for (Index i = 0; i < n; ++i) {
        const Matrix t = detail::scpcoeff_with_basis(Le, xu, x.row(i), xref);
        for (Index j = 0; j < k - 2; ++j) {
            scores(i, 2 * j) = t(j, 0);
            scores(i, 2 * j + 1) = t(j, 1);
        }
        scores(i, c - 5) = x(i, c - 1);
    }
    return scores;
}

}  // namespace tesvane
