#include "geometry/getconsensus.hpp"

#include <cmath>
#include <string>
#include <utility>

#include "geometry/procrustes_steps.hpp"
#include "platform/error.hpp"

namespace tesvane {

Consensus getconsensus(const Matrix& x) {
    return detail::getconsensus_capped(x, kMaxConsensusPasses);
}

namespace detail {

Consensus getconsensus_capped(const Matrix& x0, int max_passes) {
    if (x0.rows() == 0) {
        throw GeometryError(0, "the landmark block has no specimens");
    }
    Matrix x = x0;
    center_and_scale(x);
    const Index n = x.rows();
    const Index c = x.cols();

    Matrix xref = x.row(0);
    Matrix xrefold(1, c);
    double xd = 1.0;
    int passes = 0;
    while (xd > kConsensusTolerance) {
        if (passes == max_passes) {
            throw GeometryError(0, "Procrustes superimposition did not converge after " +
                                       std::to_string(max_passes) + " iterations");
        }
        ++passes;
        for (Index i = 0; i < n; ++i) {
            rotate_onto(x, i, xref);
        }
        xrefold = xref;
        for (Index t = 0; t < c; ++t) {
            double s = 0.0;
            for (Index i = 0; i < n; ++i) {
                s += x(i, t);
            }
            xref(t) = s / static_cast<double>(n);
        }
        double ss = 0.0;
        for (Index t = 0; t + 1 < c; ++t) {
            ss += xref(t) * xref(t);
        }
        xref /= std::sqrt(ss);
        xd = 0.0;
        for (Index t = 0; t + 1 < c; ++t) {
            const double d = xref(t) - xrefold(t);
            xd += d * d;
        }
    }
    // Scaled rows are finite, so a not-a-number change can only mean the mean form vanished.
    if (std::isnan(xd)) {
        throw GeometryError(0, "Procrustes superimposition produced values that are not numbers");
    }
    return {xref, std::move(x), passes};
}

}  // namespace detail

}  // namespace tesvane
