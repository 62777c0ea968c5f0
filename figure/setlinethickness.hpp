#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// For each line child of `handle`: LineWidth = `vlinewidth`.
void setlinethickness(fig::Axes& handle, double vlinewidth);

}  // namespace tesvane
