// The default colour map of filled contour plots: perceptually ordered from dark blue-violet
// through teal and green to yellow, readable in grey-scale print as a light-dark ramp.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/figure/figure_model.hpp"

namespace tesvane::fig {

// The map's colour at t in [0, 1] (clamped), interpolated linearly between its anchor colours.
Rgb colormap_at(double t);

// n colours spread evenly over the map, first dark, last light; n = 1 gives the middle colour.
std::vector<Rgb> default_colormap(std::size_t n);

}  // namespace tesvane::fig
