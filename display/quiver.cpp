#include "display/quiver.hpp"

#include <cmath>
#include <limits>
#include <vector>

#include "platform/error.hpp"

namespace tesvane {

namespace {

constexpr double kHeadLength = 0.33;  // alpha: head length over arrow length
constexpr double kHeadWidth = 0.33;   // beta: half-width of a head over arrow length
constexpr double kEps = 2.220446049250313e-16;

}  // namespace

QuiverHandles quiver(fig::Axes& axes, const Matrix& x, const Matrix& y, const Matrix& u,
                     const Matrix& v) {
    if (y.rows() != x.rows() || u.rows() != x.rows() || v.rows() != x.rows() ||
        y.cols() != x.cols() || u.cols() != x.cols() || v.cols() != x.cols()) {
        throw Error("quiver: the node and vector matrices must be of one size");
    }
    double m = static_cast<double>(x.rows());
    double n = static_cast<double>(x.cols());
    if (x.rows() == 1 || x.cols() == 1)
        m = n = std::sqrt(static_cast<double>(x.size()));
    double scale = 0.9;
    if (x.size() > 0) {
        const double delx = (x.maxCoeff() - x.minCoeff()) / n;
        const double dely = (y.maxCoeff() - y.minCoeff()) / m;
        const double del = delx * delx + dely * dely;
        double maxlen = 0;
        if (del > 0)
            maxlen = std::sqrt((u.array().square() + v.array().square()).maxCoeff() / del);
        if (maxlen > 0)
            scale = 0.9 / maxlen;
    }

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto count = static_cast<size_t>(x.size());
    std::vector<double> sx, sy, hx, hy;
    sx.reserve(3 * count);
    sy.reserve(3 * count);
    hx.reserve(4 * count);
    hy.reserve(4 * count);
    for (Index i = 0; i < x.size(); ++i) {  // column order, as the nodes are stored
        const double uu = scale * u(i);
        const double vv = scale * v(i);
        const double tx = x(i) + uu;
        const double ty = y(i) + vv;
        sx.insert(sx.end(), {x(i), tx, nan});
        sy.insert(sy.end(), {y(i), ty, nan});
        hx.insert(hx.end(), {tx - kHeadLength * (uu + kHeadWidth * (vv + kEps)), tx,
                             tx - kHeadLength * (uu - kHeadWidth * (vv + kEps)), nan});
        hy.insert(hy.end(), {ty - kHeadLength * (vv - kHeadWidth * (uu + kEps)), ty,
                             ty - kHeadLength * (vv + kHeadWidth * (uu + kEps)), nan});
    }
    const bool was_held = axes.hold();
    QuiverHandles h;
    h.shafts = axes.plot(sx, sy, "-").handle();
    axes.set_hold(true);
    h.heads = axes.plot(hx, hy, "-").handle();
    if (!was_held)
        axes.set_hold(false);
    return h;
}

}  // namespace tesvane
