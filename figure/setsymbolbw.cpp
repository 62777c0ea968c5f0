#include "figure/setsymbolbw.hpp"

#include "figure/restyle_lines.hpp"

namespace tesvane {

void setsymbolbw(fig::Axes& handle) {
    restyle_lines(handle, "setsymbolbw", "MarkerEdgeColor", [](fig::Line& line) {
        line.marker_edge = fig::ColorSpec::color({0, 0, 0});
        line.marker_face = fig::ColorSpec::color({0, 0, 0});
    });
}

}  // namespace tesvane
