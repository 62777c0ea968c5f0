// Arrowhead at the tip of a vector.
#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// Two black barbs of length l (data units) from the tip (x2, y2) of the vector from (x1, y1),
// each at 20 degrees to it: to (x2, y2) - l (cos(t +- pi/9), sin(t +- pi/9)) with
// t = atan2(y2 - y1, x2 - x1). Turns hold on. A zero vector gets barbs pointing left (t = 0).
void aheadw(fig::Axes& axes, double x1, double y1, double x2, double y2, double l);

}  // namespace tesvane
