#include "display/template_outline.hpp"

#include <algorithm>

#include "display/deformation_grid.hpp"
#include "display/reversepw6u.hpp"
#include "geometry/vertxy.hpp"

namespace tesvane {
namespace {

void line_through(fig::Axes& axes, const Matrix& form, fig::Rgb colour, double width) {
    const Matrix xy = vertxy(form);
    std::vector<double> x(static_cast<std::size_t>(xy.cols())), y(x.size());
    for (Index i = 0; i < xy.cols(); ++i) {
        x[static_cast<std::size_t>(i)] = xy(0, i);
        y[static_cast<std::size_t>(i)] = xy(1, i);
    }
    fig::Line& l = axes.plot(x, y, "k-", width);
    l.color = colour;
}

}  // namespace

Matrix warp_outline(const Matrix& reference, const Matrix& target, const Matrix& outline) {
    const Matrix refxy = vertxy(reference);
    const Matrix weight = fit_spline(refxy, vertxy(target));
    const Matrix points = vertxy(outline);
    Matrix out(1, 2 * points.cols() + 1);
    for (Index i = 0; i < points.cols(); ++i)
        detail::spline_image(refxy, weight, points(0, i), points(1, i), out(2 * i), out(2 * i + 1));
    out(2 * points.cols()) = outline(outline.size() - 1);
    return out;
}

void draw_outline(fig::Axes& axes, const Matrix& outline, const Matrix& warped, bool undeformed,
                  double lineweight) {
    const bool hold = axes.hold();
    axes.set_hold(true);
    if (undeformed)
        line_through(axes, outline, kUndeformedOutline, std::max(0.75, 0.75 * lineweight));
    line_through(axes, warped, kWarpedOutline, std::max(1.0, lineweight));
    axes.set_hold(hold);
}

}  // namespace tesvane
