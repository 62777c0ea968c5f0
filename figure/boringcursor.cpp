#include "figure/boringcursor.hpp"

namespace tesvane {

void boringcursor(fig::Figure& window) {
    window.pointer = "Arrow";
    window.changed();
}

}  // namespace tesvane
