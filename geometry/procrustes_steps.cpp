#include "geometry/procrustes_steps.hpp"

#include <cmath>

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "platform/error.hpp"

namespace tesvane::detail {

void center_and_scale(Matrix& x) {
    const Index c = x.cols();
    for (Index i = 0; i < x.rows(); ++i) {
        const int specimen = static_cast<int>(i) + 1;
        if (!x.row(i).head(c - 1).allFinite()) {
            throw GeometryError(specimen, "a coordinate is not a finite number");
        }
        const Matrix cpos = centpos(x.row(i));
        for (Index t = 0; t + 1 < c; t += 2) {
            x(i, t) -= cpos(0);
        }
        for (Index t = 1; t + 1 < c; t += 2) {
            x(i, t) -= cpos(1);
        }
        double s = centsize(x.row(i))(0);
        if (s == 0.0) {
            // Tiny coordinates (1e-300) square to zero: measured again after scaling them up,
            // only coordinates that are all exactly zero coincide.
            const double m = c > 1 ? x.row(i).head(c - 1).cwiseAbs().maxCoeff() : 0.0;
            if (m > 0.0)
                s = m * centsize(x.row(i) / m)(0);
        }
        if (s == 0.0) {
            throw GeometryError(specimen, "centroid size is 0 (all landmarks coincide)");
        }
        if (!std::isfinite(s)) {
            throw GeometryError(specimen, "centroid size overflows (coordinates are too large)");
        }
        for (Index t = 0; t + 1 < c; ++t) {
            x(i, t) /= s;
        }
    }
}

void rotate_onto(Matrix& x, Index i, const Matrix& r) {
    const Index c = x.cols();
    double ct = 0.0;
    double st = 0.0;
    for (Index t = 0; t + 2 < c; t += 2) {
        const double xi = x(i, t);
        const double yi = x(i, t + 1);
        ct += r(t) * xi + r(t + 1) * yi;
        st += xi * r(t + 1) - yi * r(t);
    }
    const double theta = std::atan2(st, ct);
    const double cs = std::cos(theta);
    const double sn = std::sin(theta);
    for (Index t = 0; t + 2 < c; t += 2) {
        const double xi = x(i, t);
        const double yi = x(i, t + 1);
        x(i, t) = xi * cs - yi * sn;
        x(i, t + 1) = xi * sn + yi * cs;
    }
}

}  // namespace tesvane::detail
