#include "display/deformation_grid.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "display/aheadw.hpp"
#include "display/quiver.hpp"
#include "display/reversepw6u.hpp"
#include "display/rotationhandler.hpp"
#include "display/showshape.hpp"
#include "figure/setsymbolfill.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "io/number_parse.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/figure/contour.hpp"
#include "platform/linalg.hpp"

namespace tesvane {

namespace detail {

double ref_angle_degrees(Platform& ui) {
    const std::vector<double> v = parse_numbers(ui.control("RefAngleBox").string());
    if (v.empty())
        throw Error("RefAngleBox does not hold a number of degrees");
    return v[0];
}

Matrix turn_form(const Matrix& form, double t, double last) {
    Matrix R(2, 2);
    R << std::cos(t), -std::sin(t), std::sin(t), std::cos(t);
    return xyfromvert((R * vertxy(form)).transpose(), last);
}

}  // namespace detail

Matrix fit_spline(const Matrix& refxy, const Matrix& targetxy) {
    const Index k = refxy.cols();
    Matrix rhs = Matrix::Zero(k + 3, 2);
    rhs.topRows(k) = (targetxy - refxy).transpose();
    return inverse(gettspl(refxy)) * rhs;
}

DeformationGrid deformation_grid(const Matrix& refxy, const Matrix& weight,
                                 const fig::Limits& limits, int npts, double rangeexpansion) {
    if (npts < 1)
        throw Error("the grid density must be at least 1, not " + std::to_string(npts));
    double xmin = limits[0], xmax = limits[1], ymin = limits[2], ymax = limits[3];
    const double e = rangeexpansion - 1;
    const double rangex = xmax - xmin;
    const double rangey = ymax - ymin;
    xmax += e * rangex;
    xmin -= e * rangex;
    ymin -= 0.75 * e * rangey;
    ymax += 0.75 * e * rangey;
    DeformationGrid g;
    g.xstep = (xmax - xmin) / npts;
    const Index rows = npts + 6;
    const auto cols = static_cast<Index>(std::ceil((ymax - ymin) / g.xstep)) + 3;
    for (Matrix* m : {&g.xw, &g.yw, &g.xp, &g.yp, &g.xv, &g.yv})
        m->resize(rows, cols);
    for (Index i = 0; i < rows; ++i) {
        const double xn = xmin + static_cast<double>(i - 2) * g.xstep;
        for (Index j = 0; j < cols; ++j) {
            const double yn = ymin + static_cast<double>(j - 1) * g.xstep;
            detail::spline_image(refxy, weight, xn, yn, g.xp(i, j), g.yp(i, j));
            g.xw(i, j) = xn;
            g.yw(i, j) = yn;
            g.xv(i, j) = g.xp(i, j) - xn;
            g.yv(i, j) = g.yp(i, j) - yn;
        }
    }
    return g;
}

namespace {

constexpr double kBarbLength = 0.01;

std::vector<double> values(const Eigen::Ref<const Eigen::RowVectorXd>& r) {
    return std::vector<double>(r.data(), r.data() + r.size());
}

// Polylines of the deformed grid over rows r0 ... r1 and columns c0 ... c1 (inclusive): one per
// column through the rows, then one per row through the columns.
void draw_grid(fig::Axes& axes, const DeformationGrid& g, Index r0, Index r1, Index c0, Index c1,
               const DeformationStyle& s) {
    for (Index j = c0; j <= c1; ++j) {
        std::vector<double> x, y;
        for (Index i = r0; i <= r1; ++i) {
            x.push_back(g.xp(i, j));
            y.push_back(g.yp(i, j));
        }
        axes.plot(x, y, s.linespec, s.lineweight);
    }
    for (Index i = r0; i <= r1; ++i) {
        std::vector<double> x, y;
        for (Index j = c0; j <= c1; ++j) {
            x.push_back(g.xp(i, j));
            y.push_back(g.yp(i, j));
        }
        axes.plot(x, y, s.linespec, s.lineweight);
    }
}

// A segment from each landmark of refxy to the matching landmark of `to`, with arrowheads.
void draw_vectors(fig::Axes& axes, const Matrix& refxy, const Matrix& to,
                  const std::string& linespec, const DeformationStyle& s) {
    const Matrix vt = vertxy(to);
    for (Index i = 0; i < refxy.cols(); ++i) {
        axes.plot({refxy(0, i), vt(0, i)}, {refxy(1, i), vt(1, i)}, linespec, s.lineweight);
        if (s.aheadspec != 0)
            aheadw(axes, refxy(0, i), refxy(1, i), vt(0, i), vt(1, i), kBarbLength);
    }
}

// Landmarks are filled in their colour with a white rim, so that they stand out from the grid
// and the vectors drawn beneath them.
// Many landmarks get smaller markers, so that neighbours stay apart.
void emphasise(fig::Line& l, Index landmarks) {
    l.marker_face = fig::ColorSpec::automatic();
    l.marker_edge = fig::ColorSpec::color({1, 1, 1});
    l.marker_size = landmarks > 30 ? 3.5 : 5.0;
    l.line_width = 0.5;
}

void draw_markers(fig::Axes& axes, const Matrix& refxy, const DeformationStyle& s) {
    emphasise(axes.plot(values(refxy.row(0)), values(refxy.row(1)), s.symboltype), refxy.cols());
}

// The reference's landmarks, as showshape draws them, emphasised.
void draw_reference(fig::Axes& axes, const Matrix& reference, const DeformationStyle& s) {
    const std::size_t before = axes.drawing_order().size();
    showshape(axes, reference, s.symboltype);
    const auto& drawn = axes.drawing_order();
    const Index k = (reference.cols() - 1) / 2;
    for (std::size_t i = before; i < drawn.size(); ++i)
        if (auto* l = dynamic_cast<fig::Line*>(drawn[i].get()))
            emphasise(*l, k);
}

void white_dot(fig::Axes& axes) {
    axes.plot({0}, {0}, "w.");
}

std::string vector_style(const std::string& linespec) {
    // Red grids get black vectors, so the two stay apart.
    if (!linespec.empty() && (linespec[0] == 'r' || linespec[0] == 'R'))
        return "k";
    return linespec;
}

struct Corner {
    Index row, col;
    fig::Handle marker = 0;
};

void show_corner(fig::Axes& axes, const DeformationGrid& g, Corner& c) {
    if (c.marker)
        axes.remove(c.marker);
    c.marker = axes.plot({g.xp(c.row, c.col)}, {g.yp(c.row, c.col)}, "rs").handle();
    // Filled markers let the red corner squares stand out of the grid lines.
    setsymbolfill(axes, 1);
}

// Moves one index of a corner by clicks until a right click: towards the click, one node per
// click, never off the grid.
void trim_phase(Platform& ui, const DeformationGrid& g, Corner& c, bool along_rows,
                bool echo_lowered) {
    fig::Axes& axes = ui.figure().axes();
    for (;;) {
        const std::optional<Click> click = ui.click_in_axes();
        if (!click || click->button == 3)
            return;
        Index& index = along_rows ? c.row : c.col;
        const Index last = (along_rows ? g.xp.rows() : g.xp.cols()) - 1;
        const double here = along_rows ? g.xp(c.row, c.col) : g.yp(c.row, c.col);
        const double towards = along_rows ? click->x : click->y;
        const Index moved = std::clamp<Index>(towards > here ? index + 1 : index - 1, 0, last);
        if (echo_lowered && moved < index)
            ui.console(cformat("markloy %ld", static_cast<long>(moved + 1)));
        index = moved;
        show_corner(axes, g, c);
    }
}

void trim_grid(Platform& ui, const DeformationGrid& g, const Matrix& refxy, const Matrix& bigrefdef,
               const DeformationStyle& s) {
    fig::Axes& axes = ui.figure().axes();
    Corner up{3, 3};
    Corner lo{g.xp.rows() - 1, g.xp.cols() - 1};
    // A grid too small for the usual start keeps the upper corner on it.
    up.row = std::min(up.row, lo.row);
    up.col = std::min(up.col, lo.col);
    show_corner(axes, g, up);
    show_corner(axes, g, lo);
    trim_phase(ui, g, up, true, false);
    trim_phase(ui, g, up, false, false);
    trim_phase(ui, g, lo, true, false);
    trim_phase(ui, g, lo, false, true);
    ui.console(cformat("Grid trimmed to rows %ld to %ld, columns %ld to %ld",
                       static_cast<long>(up.row + 1), static_cast<long>(lo.row + 1),
                       static_cast<long>(up.col + 1), static_cast<long>(lo.col + 1)));
    axes.cla();
    draw_grid(axes, g, std::min(up.row, lo.row), std::max(up.row, lo.row), std::min(up.col, lo.col),
              std::max(up.col, lo.col), s);
    if (s.plottype == 4)
        draw_vectors(axes, refxy, bigrefdef, vector_style(s.linespec), s);
    draw_markers(axes, refxy, s);
}

}  // namespace

Matrix draw_deformation(Platform& ui, const Matrix& reference, const Matrix& target,
                        const DeformationStyle& s) {
    fig::Axes& axes = ui.figure().axes();
    Matrix refxy = vertxy(reference);
    const Matrix weight = fit_spline(refxy, vertxy(target));
    const Matrix bigrefdef = reversepw6u(reference, weight);
    ui.console(cformat("%ld landmarks", static_cast<long>(refxy.cols())));

    // The range is that of the reference alone, except for plot type 5, which draws over the
    // picture it finds and takes its range from there.
    if (s.plottype != 5) {
        axes.cla();
        showshape(axes, reference, s.symboltype);
        axes.set_auto_limits();
        axes.set_equal(true);
    }
    const fig::Limits limits = axes.limits();
    if (s.plottype != 5)
        axes.cla();
    const DeformationGrid g = deformation_grid(refxy, weight, limits, s.npts, s.rangeexpansion);
    if (s.plottype == 98 || s.plottype == 99)
        return bigrefdef;

    axes.set_hold(true);
    const Index rows = g.xp.rows() - 1;
    const Index cols = g.xp.cols() - 1;
    switch (s.plottype) {
        case 1:
            draw_grid(axes, g, 0, rows, 0, cols, s);
            draw_markers(axes, refxy, s);
            break;
        case 2:
            quiver(axes, g.xw, g.yw, g.xv, g.yv);
            draw_markers(axes, refxy, s);
            break;
        case 3:
            white_dot(axes);
            draw_vectors(axes, refxy, bigrefdef, s.linespec, s);
            draw_reference(axes, reference, s);
            break;
        case 4:
            draw_grid(axes, g, 0, rows, 0, cols, s);
            draw_vectors(axes, refxy, bigrefdef, vector_style(s.linespec), s);
            draw_markers(axes, refxy, s);
            break;
        case 5:
            white_dot(axes);
            refxy = vertxy(reference);
            draw_vectors(axes, refxy, target, s.linespec, s);
            draw_reference(axes, reference, s);
            break;
        case 6:
            quiver(axes, g.xw, g.yw, g.xv, Matrix::Zero(g.xv.rows(), g.xv.cols()));
            draw_markers(axes, refxy, s);
            break;
        case 7:
            quiver(axes, g.xw, g.yw, Matrix::Zero(g.yv.rows(), g.yv.cols()), g.yv);
            draw_markers(axes, refxy, s);
            break;
        case 8:
            fig::contourf(axes, g.xw, g.yw, g.xv.cwiseAbs());
            draw_markers(axes, refxy, s);
            break;
        case 9:
            fig::contourf(axes, g.xw, g.yw, g.yv.cwiseAbs());
            draw_markers(axes, refxy, s);
            break;
        default:
            break;
    }
    number_landmarks(ui, reference);
    if (s.trimreq != 0 && (s.plottype == 1 || s.plottype == 4))
        trim_grid(ui, g, refxy, bigrefdef, s);
    return bigrefdef;
}

}  // namespace tesvane
