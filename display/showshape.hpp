// Landmark configurations and variable loadings drawn into the main window's axes.
#pragma once

#include <optional>
#include <string>

#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

// One marker (size 3) per landmark of every configuration row of `x`, each its own drawing
// object, added to what the axes show; then automatic limits and equal scaling. Returns 1.
double showshape(fig::Axes& axes, const Matrix& x, const std::string& xform = "k.");

// As showshape after turning every configuration counter-clockwise by `theta` radians about
// the origin; without `theta`, the angle in degrees typed into RefAngleBox (0 when there is no
// such box or its text is not a number). The caller's data are not changed. Returns 1.
double showshape_rot(Platform& ui, const Matrix& x, const std::string& xform = "k.",
                     std::optional<double> theta = std::nullopt);

// Each row of `data` drawn against the variable numbers 1 ... n, one drawing per row.
void shownonshape(Platform& ui, const Matrix& data, const std::string& sym = "bo");

// The display rotation typed into RefAngleBox, in radians (0 when missing or not a number).
double ref_angle_radians(Platform& ui);

}  // namespace tesvane
