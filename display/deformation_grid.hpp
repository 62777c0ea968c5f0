// The grid of a deformation display and its drawing, shared by the template display and the
// superimposition display.
#pragma once

#include <string>

#include "platform/figure/figure_model.hpp"
#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

// Nodes of the grid, all (npts+6) x npts_y: rows follow x, columns follow y.
struct DeformationGrid {
    Matrix xw, yw;  // undeformed nodes
    Matrix xp, yp;  // their images under the spline
    Matrix xv, yv;  // displacements xp - xw, yp - yw
    double xstep = 0;
};

// Thin-plate spline coefficients ((k+3) x 2) that carry refxy (2 x k) onto targetxy (2 x k):
// inv(L) times the displacements stacked over three zero rows.
Matrix fit_spline(const Matrix& refxy, const Matrix& targetxy);

// The most nodes a grid may have: a plot range far taller than wide is refused with an Error
// rather than filled with millions of square cells.
inline constexpr double kMaxGridNodes = 1e6;

// The grid over limits [xmin, xmax, ymin, ymax] widened by e = rangeexpansion - 1 (x limits by
// e times the x range, y limits by 0.75 e times the y range), with square cells of
// xstep = (xmax - xmin)/npts and npts_y = ceil((ymax - ymin)/xstep) + 3 columns. Node (i, j),
// from 0, lies at (xmin + (i - 2) xstep, ymin + (j - 1) xstep): two steps left of xmin to
// npts + 3 steps right of it, one step below ymin upwards. The images are those of the spline
// `weight` on the landmarks refxy. Error when the widened range is empty, inside out or not
// finite, or when the grid would have more than kMaxGridNodes nodes.
DeformationGrid deformation_grid(const Matrix& refxy, const Matrix& weight,
                                 const fig::Limits& limits, int npts, double rangeexpansion);

// How a deformation is drawn.
struct DeformationStyle {
    int npts = 20;
    int plottype = 1;
    double lineweight = 1;
    std::string linespec = "k";
    std::string symboltype = "kd";
    double aheadspec = 1;
    double rangeexpansion = 1;
    double trimreq = 0;
};

// From the spline fit on: fits the spline from `reference` onto `target` (both configuration
// rows, already in display position), takes the plot range, builds the grid and draws plot type
// style.plottype, then the landmark numbers and the interactive trimming. Plot types 98 and 99
// stop after the grid. Returns the reference landmarks carried through the spline (reversepw6u).
Matrix draw_deformation(Platform& ui, const Matrix& reference, const Matrix& target,
                        const DeformationStyle& style);

namespace detail {
// The angle in degrees typed into RefAngleBox; Error when there is no box or no number in it.
double ref_angle_degrees(Platform& ui);
// A configuration row turned about the origin by t radians, ending in `last`.
Matrix turn_form(const Matrix& form, double t, double last);
}  // namespace detail

}  // namespace tesvane
