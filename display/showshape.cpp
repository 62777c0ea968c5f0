#include "display/showshape.hpp"

#include <cmath>

#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "io/number_parse.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {
constexpr std::size_t kEchoedColumns = 20;
}  // namespace

double showshape(fig::Axes& axes, const Matrix& x, const std::string& xform) {
    axes.set_hold(true);
    const Index k = (x.cols() - 1) / 2;
    if (fig::parse_style(xform).line_style == "none") {
        // Markers alone look the same as one object: a point object each would take a
        // thousand times the memory of the block itself for a large file.
        std::vector<double> xs, ys;
        xs.reserve(static_cast<size_t>(x.rows() * k));
        ys.reserve(static_cast<size_t>(x.rows() * k));
        for (Index i = 0; i < x.rows(); ++i) {
            for (Index j = 0; j < k; ++j) {
                xs.push_back(x(i, 2 * j));
                ys.push_back(x(i, 2 * j + 1));
            }
        }
        if (!xs.empty())
            axes.plot(xs, ys, xform, 0.5, 3);
    } else {
        for (Index i = 0; i < x.rows(); ++i)
            for (Index j = 0; j < k; ++j)
                axes.plot({x(i, 2 * j)}, {x(i, 2 * j + 1)}, xform, 0.5, 3);
    }
    axes.set_auto_limits();
    axes.set_equal(true);
    return 1;
}

double ref_angle_radians(Platform& ui) {
    Control* box = ui.find_control("RefAngleBox");
    if (!box)
        return 0;
    try {
        const std::vector<double> v = parse_numbers(box->string());
        if (v.empty())
            return 0;
        ui.console(cformat("Display rotation %g degrees", v[0]));
        return M_PI * v[0] / 180.0;
    } catch (const Error&) {
        ui.console("RefAngleBox does not hold a number of degrees: display rotation 0");
        return 0;
    }
}

double showshape_rot(Platform& ui, const Matrix& x, const std::string& xform,
                     std::optional<double> theta) {
    const double t = theta ? *theta : ref_angle_radians(ui);
    if (t == 0)
        return showshape(ui.figure().axes(), x, xform);  // no turned copy of a large block
    Matrix r(2, 2);
    r << std::cos(t), -std::sin(t), std::sin(t), std::cos(t);
    Matrix turned(x.rows(), 2 * (x.cols() / 2) + 1);
    for (Index i = 0; i < x.rows(); ++i) {
        const Matrix v = r * vertxy(x.row(i));
        turned.row(i) = xyfromvert(v.transpose(), x(i, x.cols() - 1));
    }
    return showshape(ui.figure().axes(), turned, xform);
}

void shownonshape(Platform& ui, const Matrix& data, const std::string& sym) {
    fig::Axes& axes = ui.figure().axes();
    std::vector<double> xs(static_cast<size_t>(data.cols()));
    std::string echo;
    for (size_t j = 0; j < xs.size(); ++j) {
        xs[j] = static_cast<double>(j + 1);
        // The echo stays one short line however many variables there are.
        if (j < kEchoedColumns)
            echo += cformat("%s%g", j ? " " : "", xs[j]);
    }
    if (xs.size() > kEchoedColumns)
        echo += cformat(" ... %i", static_cast<int>(xs.size()));
    ui.console(echo);
    for (Index i = 0; i < data.rows(); ++i) {
        const RowVector row = data.row(i);
        axes.plot(xs, std::vector<double>(row.data(), row.data() + row.size()), sym);
        axes.set_hold(true);
    }
}

}  // namespace tesvane
