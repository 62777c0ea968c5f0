// The main window function: start-up, and the callback form through which every control calls
// a registered function.
#pragma once

#include <string>

#include "platform/app_context.hpp"

namespace tesvane {

// Fills the callable table with every function of the program.
void register_functions(AppContext& ctx);

// Start-up: opens the results window and the main window (the platform has built them),
// then fills RefAngleBox.
void Tesvane6i_start(AppContext& ctx);

// The callback form: calls the registered function `name` with `in`. A failure is written to
// the console and never escapes, so the windows stay usable. Returns false on failure: an
// error, or a message box that stopped the action (Platform::message_box).
bool Tesvane6i_callback(AppContext& ctx, const std::string& name, const Values& in);

// Runs one action string through the dispatcher as a button would.
inline bool run_action(AppContext& ctx, const std::string& action) {
    return Tesvane6i_callback(ctx, "Tesvanesw", {action});
}

// The callbacks generated for the layout's controls that do nothing.
bool is_stub_callback(const std::string& control);

}  // namespace tesvane
