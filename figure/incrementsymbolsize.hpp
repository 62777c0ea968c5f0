#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// For each line child of `handle`: MarkerSize grows by `increment` (negative shrinks; not clamped).
void incrementsymbolsize(fig::Axes& handle, double increment);

}  // namespace tesvane
