#include "analysis/warp_basis.hpp"

#include <string>

#include "geometry/gettpse.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/scpcoeff_arbrot.hpp"
#include "geometry/uniform_scores.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"

namespace tesvane {

WarpBasis warp_basis(const Matrix& xref) {
    return {xref, gettpse(gettspl(vertxy(xref))), uniform_basis(xref)};
}

Matrix warp_scores(const WarpBasis& basis, const Matrix& x) {
    const Index n = x.rows();
    const Index c = x.cols();
    const Index k = (c - 1) / 2;
    if (basis.xref.size() != c || basis.Le.rows() != k) {
        throw Error("the reference form has " + std::to_string(basis.xref.size()) +
                    " values but the block's rows have " + std::to_string(c));
    }
    // The same per-specimen routine and layout as getpw_arbit, so the scores agree exactly.
    Matrix scores(n, 2 * k - 3);
    for (Index i = 0; i < n; ++i) {
        const Matrix t = detail::scpcoeff_with_basis(basis.Le, basis.xu, x.row(i), basis.xref);
        for (Index j = 0; j < k - 2; ++j) {
            scores(i, 2 * j) = t(j, 0);
            scores(i, 2 * j + 1) = t(j, 1);
        }
        scores(i, c - 5) = x(i, c - 1);
    }
    return scores;
}

}  // namespace tesvane
