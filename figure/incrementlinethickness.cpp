#include "figure/incrementlinethickness.hpp"

#include "figure/restyle_lines.hpp"

namespace tesvane {

void incrementlinethickness(fig::Axes& fighandle, double weight) {
    restyle_lines(fighandle, "incrementlinethickness", "LineStyle", [weight](fig::Line& line) {
        if (line.line_style.empty() || line.line_style[0] != 'n')
            line.line_width += weight;
    });
}

}  // namespace tesvane
