#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// For each line child of `handle`: hollow markers when `isfilled` is 0, otherwise markers filled
// in the line's own colour.
void setsymbolfill(fig::Axes& handle, double isfilled);

}  // namespace tesvane
