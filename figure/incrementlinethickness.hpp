#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// For each line child of `fighandle` that draws a line: LineWidth grows by `weight`. Lines drawn
// as markers only (LineStyle "none") are skipped. Not clamped.
void incrementlinethickness(fig::Axes& fighandle, double weight);

}  // namespace tesvane
