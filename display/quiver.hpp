// Arrow field: one arrow per grid node, scaled to the grid spacing.
#pragma once

#include "platform/figure/figure_model.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

struct QuiverHandles {
    fig::Handle shafts = 0;  // one line object, NaN-separated segments
    fig::Handle heads = 0;   // one line object, an open "V" per arrow
};

// Arrows (u, v) at the nodes (x, y), four matrices of one size. With [m, n] the size of x
// (n = m = sqrt(numel) for a vector), delx = range(x)/n, dely = range(y)/m and
// del = delx^2 + dely^2, all vectors are multiplied by 0.9 / max sqrt((u^2 + v^2)/del) (by 0.9
// when every vector is zero), so the longest arrow is 0.9 sqrt(del) long. Heads reach back 0.33
// of the arrow and spread 0.33 of it to either side. Drawn in the axes' default line colour;
// respects the hold state: with hold off the field replaces the picture, and hold is off again
// afterwards.
// Throws Error when the four matrices differ in size.
QuiverHandles quiver(fig::Axes& axes, const Matrix& x, const Matrix& y, const Matrix& u,
                     const Matrix& v);

}  // namespace tesvane
