#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// The window's pointer becomes the plain arrow again ("Arrow").
void boringcursor(fig::Figure& window);

}  // namespace tesvane
