#include "figure/setlinethickness.hpp"

#include "figure/restyle_lines.hpp"

namespace tesvane {

void setlinethickness(fig::Axes& handle, double vlinewidth) {
    restyle_lines(handle, "setlinethickness", "LineWidth",
                  [vlinewidth](fig::Line& line) { line.line_width = vlinewidth; });
}

}  // namespace tesvane
