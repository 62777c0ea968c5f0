// One session of the program as the page drives it: the browser platform, the session recorder
// around it and the dispatcher's context, with the page's requests and the answers in JSON.
// The page's steps are the main window's: it sets the controls the user changed, gives the files
// for the step's dialogs, and runs one action string through the dispatcher, recorded as the
// desktop records it, so the session downloads as a script that `tesvane script` replays.
#pragma once

#include <string>

#include "app/session_recorder.hpp"
#include "platform/app_context.hpp"
#include "web/browser_platform.hpp"

namespace tesvane {

class WebSession {
  public:
    // `folder` is where the page writes the user's files and where the script is kept, so that
    // the script names them relative to itself.
    explicit WebSession(std::string folder, BrowserPlatform::ProgressSink sink = {});
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;

    // Runs one step. `request` is a JSON object:
    //   "controls": {TAG: {"String": text} or {"Value": number}, ...}  set before the action
    //   "files": [path, ...]     answers to the step's file dialogs, in order
    //   "action": NAME            an action string of the dispatcher
    // The answer is a JSON object: "ok", "error" (why the step failed), "messages" (message
    // boxes), "declined" (dialogs the page gave no answer for), "console" (the last diagnostic
    // lines) and "console_count", then the state (see state()).
    std::string step(const std::string& request);

    // The state the page shows: "report" (the results window), "controls" ({TAG: {"String",
    // "Value", "Enable"}}) and, when the figure changed since the last answer, "figure" (SVG)
    // or, when it is too large to write, "figure_error".
    std::string state();

    std::string figure_svg() { return tesvane::figure_svg(ui_.figure()); }
    // The session variables, as `tesvane run --json` writes them.
    std::string results_json();
    // What was done so far as a script kept in the session's folder.
    std::string script();
    // A figure the user downloaded under `name`, recorded as a `savefig` line.
    void note_saved_figure(const std::string& name);
    // Replays script text (kept in the session's folder) into this session, its steps recorded
    // as the user's: how the page rebuilds a session after a cancelled step. The answer is as
    // step()'s, with "exit" (as `tesvane script`) and "output" (printed Strings, failures).
    std::string replay(const std::string& script_text);

    // The main window's controls, plot types, deformation types and buttons, for the page.
    static std::string interface_json();

  private:
    std::string folder_;
    BrowserPlatform ui_;
    SessionRecorder recorder_{ui_};
    AppContext ctx_{recorder_};
    long figure_version_ = 0, figure_sent_ = -1;
};

}  // namespace tesvane
