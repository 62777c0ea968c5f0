// The results window: reports longer than a message box, and their saving.
#pragma once

#include <string>

#include "platform/app_context.hpp"

namespace tesvane {

// Appends the current report to a file chosen in a save dialog: each row of the report, then a
// blank and a line break.
void AuxBoxsw(AppContext& ctx);

}  // namespace tesvane
