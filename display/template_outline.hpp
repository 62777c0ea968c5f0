// The template's outline on a deformation drawn on the template.
#pragma once

#include "platform/figure/figure_model.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

// The points of `outline` (a configuration row, any number of points) carried through the
// thin-plate spline that carries `reference` onto `target` (configuration rows of k landmarks,
// in the outline's frame): the spline the deformed grid is drawn with. A configuration row of
// the images, ending in the outline's last value.
Matrix warp_outline(const Matrix& reference, const Matrix& target, const Matrix& outline);

// The outline's colours: the warped one in blue, the undeformed one beneath it in grey.
inline constexpr fig::Rgb kWarpedOutline{0, 0.35, 0.8};
inline constexpr fig::Rgb kUndeformedOutline{0.6, 0.6, 0.6};

// Draws the warped outline as a line through its points, and first, when `undeformed`, the
// outline itself in grey.
void draw_outline(fig::Axes& axes, const Matrix& outline, const Matrix& warped, bool undeformed,
                  double lineweight);

}  // namespace tesvane
