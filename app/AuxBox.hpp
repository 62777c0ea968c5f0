// The results window: reports longer than a message box, and their saving.
#pragma once

#include <string>

#include "app/app_context.hpp"

namespace tesvane {

// Replaces the report shown in AuxResults, opening the results window when it was closed.
void show_report(AppContext& ctx, const std::string& report);

// Appends the current report to a file chosen in a save dialog: each row of the report, then a
// blank and a line break.
void AuxBoxsw(AppContext& ctx);

}  // namespace tesvane
