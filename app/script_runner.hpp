// `tesvane script FILE`: replays a session from a text file, without windows.
//
// One command a line; blank lines and lines starting with "#" are skipped; words are separated
// by blanks, and a word with blanks goes in double quotes. Relative paths are taken from the
// script's own folder.
//
//   set TAG String|Value|Enable VALUE   set a control property
//   answer file PATH                    queue the answer to the next file dialog
//   answer cancel                       ... or cancel it
//   answer text TEXT                    queue the answer to the next input dialog
//   answer click X Y [BUTTON]           queue a mouse click in the plot (button 3: right)
//   action NAME                         run an action string through Tesvanesw
//   call NAME [ARG ...]                 call a registered function; an ARG is a number, a
//                                       "quoted text" or $variable (a session variable)
//   print TAG                           write a control's String to standard output
//   savefig PATH [SIZE [DPI]]           save the current figure (.svg .png .pdf .eps), at
//                                       SIZE ("85x85mm", "3x2in", "1200x900px") and DPI
//   session PATH                        write the session variables to a JSON file
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/app_context.hpp"
#include "platform/figure/figure_model.hpp"
#include "platform/headless/headless_platform.hpp"

namespace tesvane {

// Gives a headless platform the controls of both windows with their initial values.
void add_window_controls(HeadlessPlatform& ui);

using FigureSaver = std::function<void(const fig::Figure&, const std::string& path)>;

// A running session a script drives: the GUI replays scripts into its own session this way.
struct ScriptTarget {
    AppContext& ctx;
    // Takes the answers of `answer` lines for the dialogs to come.
    std::function<void(DialogAnswer)> queue;
    // Runs `action` (as Tesvanesw with the action string) and `call` lines; returns false when
    // the function failed. Empty: Tesvane6i_callback.
    std::function<bool(const std::string& function, const Values& in)> call;
    // Empty: savefig is a script error.
    FigureSaver save_figure;
    // False: the lines that write files (savefig, session, call writetps/writecsv) are skipped.
    bool write_files = true;
};

// The files a script would write: its savefig, session and writetps/writecsv paths, and the
// files it answers to the dialogs of steps other than the loads, relative paths taken from the
// script's folder. Empty when the script cannot be read.
std::vector<std::string> script_writes(const std::string& path);

// Runs the script's commands on `target`, with the return codes of run_script. A failed action
// (an error, or a message box that stopped it) is named on `err` with its line.
int replay_script(const std::string& path, ScriptTarget& target, std::ostream& out,
                  std::ostream& err);

// replay_script on the script's text, already read; `path` names the script in messages and its
// folder is where relative paths start.
int replay_script_text(const std::string& path, const std::string& text, ScriptTarget& target,
                       std::ostream& out, std::ostream& err);

// Runs the script in a fresh headless session; returns 0 when every command and action succeeded, 1
// when an action failed, 2 when the script itself is wrong or cannot be read (message on `err`).
// `quiet`: nothing on `err` but errors; `verbose`: diagnostic lines there as well; `progress`:
// a progress line there (meant for a terminal).
struct ScriptOutput {
    bool quiet = false;
    bool verbose = false;
    bool progress = false;
};
int run_script(const std::string& path, std::ostream& out, std::ostream& err,
               const FigureSaver& save_figure, ScriptOutput output = {});

}  // namespace tesvane
