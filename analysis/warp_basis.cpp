#include "analysis/warp_basis.hpp"

#include <string>

#include "geometry/gettpse.hpp"
#include "geometry/gettspl.hpp"
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
    // The projections of scpcoeff_arbrot for all specimens at once: the x and the y values on
    // the k - 3 partial warps, and the differences from the reference on the two uniform
    // directions.
    const auto warps = basis.Le.leftCols(k - 3);
    const Matrix xs = x(Eigen::all, Eigen::seqN(0, k, 2));
    const Matrix ys = x(Eigen::all, Eigen::seqN(1, k, 2));
    const Matrix px = xs * warps;
    const Matrix py = ys * warps;
    const Matrix diff = x.leftCols(2 * k).rowwise() - basis.xref.reshaped().head(2 * k).transpose();
    const Matrix uniform = diff * basis.xu.leftCols(2 * k).transpose();
    Matrix scores(n, 2 * k - 3);
    for (Index j = 0; j < k - 3; ++j) {
        scores.col(2 * j) = px.col(j);
        scores.col(2 * j + 1) = py.col(j);
    }
    scores.col(2 * k - 6) = uniform.col(0);
    scores.col(2 * k - 5) = uniform.col(1);
    scores.col(2 * k - 4) = x.col(c - 1);
    return scores;
}

}  // namespace tesvane
