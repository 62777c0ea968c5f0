#include "display/reversepwb.hpp"

#include <string>

#include "display/UniAxis.hpp"
#include "display/eigsort.hpp"
#include "geometry/gettpse.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace detail {

Matrix displace_by_scores(const Matrix& reference, const Matrix& pw, const Matrix& u1,
                          const Matrix& u2) {
    const Index c = reference.size();
    const Index k = (c - 1) / 2;
    if (pw.size() != 2 * k - 3) {
        throw Error("the score vector has " + std::to_string(pw.size()) +
                    " values, but a reference of " + std::to_string(k) + " landmarks needs " +
                    std::to_string(2 * k - 3));
    }
    const Matrix refxy = vertxy(reference);
    // The scores were projected on gettpse's eigenvectors; going back on the same ones keeps
    // every displayed deformation pointing the way its score says.
    const Matrix Le = gettpse(gettspl(refxy));
    const SortedEigen e = eigsort(Le.leftCols(k), Le.rightCols(k));

    Matrix bobo2 = Matrix::Zero(c, 2 * k - 4);
    for (Index i = 0; i < k - 3; ++i) {
        for (Index j = 0; j < k; ++j) {
            bobo2(2 * j, 2 * i) = e.VR(j, i);
            bobo2(2 * j + 1, 2 * i + 1) = e.VR(j, i);
        }
    }
    for (Index t = 0; t < 2 * k; ++t) {
        bobo2(t, 2 * k - 6) = u1(t);
        bobo2(t, 2 * k - 5) = u2(t);
    }
    const Matrix scores = pw.reshaped(pw.size(), 1).topRows(2 * k - 4);
    Matrix out = reference.reshaped(1, c);
    out += (bobo2 * scores).transpose();
    return out;
}

}  // namespace detail

Matrix reversepwb(const Matrix& reference, const Matrix& pw) {
    const Matrix m1 = UniAxis(reference, 1).transpose();  // 2 x k: read as x1, y1, x2, ...
    const Matrix m2 = UniAxis(reference, 2).transpose();
    return detail::displace_by_scores(reference, pw, m1.reshaped(1, m1.size()),
                                      m2.reshaped(1, m2.size()));
}

}  // namespace tesvane
