// The Show button: one of the plot types of the Plot list drawn into the main window.
#pragma once

#include "platform/app_context.hpp"

namespace tesvane {

// Reads the display controls and draws plot type ReqAxisBox for axis ShowBox: PLS or principal
// axes of either block and group as deformations of the reference (or on the template), as
// loading plots for a variable block 2, or the superimposed configurations (types 7 and 8,
// which recompute and store the references and superimposed blocks).
void ShowAxis(AppContext& ctx);

}  // namespace tesvane
