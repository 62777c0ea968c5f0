// File > Save session… and Open session…: the session recorded so far written as a script, and
// a script replayed in the windows with its answers standing in for the dialogs.
#pragma once

#include <string>

#include "platform/app_context.hpp"

namespace tesvane::gui {

class QtPlatform;

// Asks where to save the session and writes it; a failure is a message box. True when it was
// saved.
bool save_session(QtPlatform& ui);

// Asks for a session script (or takes `path` when given) and replays it (see replay_session).
// When the script would write files, they are listed first and the user chooses: replay
// writing them, replay without writing files (the default), or cancel.
void open_session(QtPlatform& ui, AppContext& ctx, const std::string& path = {});

// How a replay treats the files the script would write.
enum class ReplayWrites { Skip, Write };

// Replays the script at `path` as the current action: no dialog opens, lines it prints go to
// the Messages pane, and failures are shown in a message box naming the script's lines.
// Returns run_script's code, or -1 when another action was running.
int replay_session(QtPlatform& ui, AppContext& ctx, const std::string& path,
                   ReplayWrites writes = ReplayWrites::Skip);

}  // namespace tesvane::gui
