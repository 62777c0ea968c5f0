#pragma once

#include "platform/figure/figure_model.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

// The window's pointer becomes the fish: Pointer "custom", then PointerShapeCData the picture.
void spiffyfish(fig::Figure& window);

// The fish, 16 x 16, row 1 at the top: 1 black, 2 white, not-a-number transparent.
Matrix spiffyfish_picture();

}  // namespace tesvane
