#include "geometry/uniform_scores.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/formrotate.hpp"
#include "geometry/uniparmproc.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kQuarterPi = 0.7853981633974483;
// A reference collinear up to rounding gives a moment ratio near 1e-32; real ones 1e-2 and up.
constexpr double kFlatMomentRatio = 1e-20;
constexpr double kStep = 0.05;

// Angle that turns xref onto its principal axes, in (-pi/4, pi/4].
double principal_angle(const Matrix& xref) {
    const Index c = xref.size();
    // Sxx and Syy are the reference's own second moments.
    const Matrix moments = uniparmproc(xref);
    const double sxx = moments(0);
    const double syy = moments(1);
    double sxy = 0.0;
    for (Index t = 0; t + 2 < c; t += 2) {
        sxy += xref(t) * xref(t + 1);
    }
    double theta = sxx - syy == 0.0 ? kHalfPi : 0.5 * std::atan(-2.0 * sxy / (sxx - syy));
    while (theta > kQuarterPi) {
        theta -= kHalfPi;
    }
    while (theta <= -kQuarterPi) {
        theta += kHalfPi;
    }
    return theta;
}

}  // namespace

Matrix uniform_basis(const Matrix& xref) {
    if (!xref.allFinite()) {
        throw GeometryError(0, "the reference form has a value that is not a finite number");
    }
    const Index c = xref.size();
    const Index n2 = c - 1;  // coordinates 2k
    const double theta = principal_angle(xref);
    const Matrix xrefp = formrotate(xref, theta);
    const Matrix ag = uniparmproc(xrefp);
    const double alpha = ag(0);
    const double gamma = ag(1);
    if (!(std::min(alpha, gamma) > kFlatMomentRatio * (alpha + gamma))) {
        throw GeometryError(0,
                            "the reference form has no spread along one of its principal axes "
                            "(its landmarks are collinear or coincide), so the uniform "
                            "components are undefined");
    }
    const double a = std::pow(alpha / gamma, 0.5);
    const double g = std::pow(gamma / alpha, 0.5);

    Matrix xu(2, n2);
    Matrix xunim(1, c);
    for (Index r = 0; r < 2; ++r) {
        for (Index t = 0; t + 1 < n2; t += 2) {
            const double xp = xrefp(t);
            const double yp = xrefp(t + 1);
            const double ux = r == 0 ? yp * a : -xp * g;
            const double uy = r == 0 ? xp * g : yp * a;
            xunim(t) = xp + kStep * ux;
            xunim(t + 1) = yp + kStep * uy;
        }
        xunim(n2) = 0.0;
        const Matrix back = formrotate(xunim, -theta);
        double ss = 0.0;
        for (Index t = 0; t < n2; ++t) {
            xu(r, t) = back(t) - xref(t);
            ss += xu(r, t) * xu(r, t);
        }
        xu.row(r) /= std::sqrt(ss);
    }
    return xu;
}

Matrix uniform_scores(const Matrix& x, const Matrix& xref) {
    return detail::project_uniform(uniform_basis(xref), x, xref);
}

namespace detail {

Matrix project_uniform(const Matrix& xu, const Matrix& x, const Matrix& xref) {
    const Index n2 = x.size() - 1;
    Matrix u(1, 2);
    for (Index r = 0; r < 2; ++r) {
        double s = 0.0;
        for (Index t = 0; t < n2; ++t) {
            s += xu(r, t) * (x(t) - xref(t));
        }
        u(r) = s;
    }
    return u;
}

}  // namespace detail

}  // namespace tesvane
