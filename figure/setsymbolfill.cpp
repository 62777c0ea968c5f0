#include "figure/setsymbolfill.hpp"

#include "figure/restyle_lines.hpp"

namespace tesvane {

void setsymbolfill(fig::Axes& handle, double isfilled) {
    restyle_lines(handle, "setsymbolfill", "MarkerFaceColor", [isfilled](fig::Line& line) {
        line.marker_face =
            isfilled == 0 ? fig::ColorSpec::none() : fig::ColorSpec::color(line.color);
    });
}

}  // namespace tesvane
