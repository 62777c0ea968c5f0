#include "figure/incrementsymbolsize.hpp"

#include "figure/restyle_lines.hpp"

namespace tesvane {

void incrementsymbolsize(fig::Axes& handle, double increment) {
    restyle_lines(handle, "incrementsymbolsize", "MarkerSize",
                  [increment](fig::Line& line) { line.marker_size += increment; });
}

}  // namespace tesvane
