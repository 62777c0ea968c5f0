#include "display/ShowAxis.hpp"

#include "platform/error.hpp"

namespace tesvane {

void ShowAxis(AppContext&) {
    throw Error("ShowAxis is not available in this version");
}

}  // namespace tesvane
