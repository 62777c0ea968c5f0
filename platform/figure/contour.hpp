// Filled contour plots: isobands of a matrix over the nodes of a grid.
//
// X, Y and Z have one entry per node; neighbouring entries (along a row or a column) are joined
// by the cell edges, and the grid may be deformed, not only rectilinear. Band edges are found by
// marching squares: linear interpolation along each cell edge between its two nodes, straight
// segments across the cell, and a saddle cell decided by the mean of its four corners.
#pragma once

#include <vector>

#include "platform/figure/figure_model.hpp"
#include "platform/matrix.hpp"

namespace tesvane::fig {

// About nine bands of a "nice" width (1, 2 or 5 times a power of ten, so every level has a short
// exact label) whose outer edges enclose [zmin, zmax]. Equal values get one band of width 2
// around them (2 % of the value when that is larger). Error unless both are finite and
// zmin <= zmax.
std::vector<double> contour_levels(double zmin, double zmax);

// The band [levels[i], levels[i+1]] of every consecutive pair of levels, as polygons joined
// across cells into whole regions (even-odd fill; holes are rings of their own). A node value
// equal to a level belongs to the band below it, except at the lowest level. Values outside the
// outer levels, and cells with a non-finite corner, are left unfilled. Colours are left black.
// Errors: X, Y and Z of different sizes, fewer than 2 x 2 nodes, fewer than two levels, levels
// not finite or not strictly ascending.
std::vector<ContourBand> isobands(const Matrix& X, const Matrix& Y, const Matrix& Z,
                                  const std::vector<double>& levels);

// Draws the filled contour plot of Z over (X, Y) into `axes` as a plot-like call (with hold off
// it replaces the picture): the bands coloured from the default colour map, low to high, with a
// colour bar. Without levels they are chosen by contour_levels from the finite values of Z.
// Errors as isobands, and a Z without finite values; the axes are then left as they were.
FilledContour& contourf(Axes& axes, const Matrix& X, const Matrix& Y, const Matrix& Z);
FilledContour& contourf(Axes& axes, const Matrix& X, const Matrix& Y, const Matrix& Z,
                        const std::vector<double>& levels);

}  // namespace tesvane::fig
