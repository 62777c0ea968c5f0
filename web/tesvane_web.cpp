// The entry of the browser edition: one session of the program, driven by script text in the
// `tesvane script` format, as the desktop replays a recorded session. The page writes the
// user's files into the module's in-memory file system, then runs the steps it recorded.
#include <emscripten.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/Tesvane6i.hpp"
#include "app/run_command.hpp"
#include "app/script_runner.hpp"
#include "platform/app_context.hpp"
#include "platform/render/svg_canvas.hpp"
#include "web/browser_platform.hpp"

namespace tesvane {
namespace {

void send_progress(double fraction, const std::string& what) {
    // clang-format off
    EM_ASM({ if (Module.onProgress) Module.onProgress($0, UTF8ToString($1)); },
           fraction, what.c_str());
    // clang-format on
}

// One session: what the main window and the results window hold between the page's steps.
struct WebSession {
    std::ostringstream echo;  // message boxes and console lines
    BrowserPlatform ui{&echo, send_progress};
    AppContext ctx{ui};
    ScriptTarget target{ctx, [this](DialogAnswer a) { ui.queue(std::move(a)); }, {},
                        save_figure_svg};

    WebSession() {
        add_window_controls(ui);
        register_functions(ctx);
        ui.on_save_figure_file([](const fig::Figure& f, const std::string& p, const std::string&) {
            save_figure_svg(f, p);
        });
        Tesvane6i_start(ctx);
        // The browser runs the module on one thread; results do not depend on the count.
        ctx.resampling = {kDefaultRandomSeed, 1};
    }
};

std::unique_ptr<WebSession> session;
std::string answer;  // the text the last call returns; valid until the next call

WebSession& current() {
    if (!session)
        session = std::make_unique<WebSession>();
    return *session;
}

}  // namespace
}  // namespace tesvane

using tesvane::current;

extern "C" {

// Starts a fresh session, as a newly opened program.
EMSCRIPTEN_KEEPALIVE void tv_reset() {
    tesvane::session = std::make_unique<tesvane::WebSession>();
}

// Runs the script file at `path` in the session. Returns JSON: "stdout" (print lines), "stderr"
// (message boxes, console lines, failures), "exit" (as `tesvane script`) and "report" (the text
// of the results window).
EMSCRIPTEN_KEEPALIVE const char* tv_run(const char* path) {
    auto& s = current();
    std::ostringstream out, err;
    s.echo.str("");
    int code = 2;
    try {
        code = tesvane::replay_script(path, s.target, out, err);
    } catch (const std::exception& e) {
        err << "tesvane: " << e.what() << '\n';
    }
    nlohmann::json j;
    j["stdout"] = out.str();
    j["stderr"] = s.echo.str() + err.str();
    j["exit"] = code;
    j["report"] = s.ui.control("AuxResults").string();
    tesvane::answer = j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return tesvane::answer.c_str();
}

// The current figure as an SVG document.
EMSCRIPTEN_KEEPALIVE const char* tv_figure_svg() {
    tesvane::answer = tesvane::render::figure_svg_text(current().ui.figure(),
                                                       tesvane::kFigureWidthPt,
                                                       tesvane::kFigureHeightPt);
    return tesvane::answer.c_str();
}

// The session variables as `tesvane run --json` writes them.
EMSCRIPTEN_KEEPALIVE const char* tv_results_json() {
    auto& s = current();
    tesvane::answer = tesvane::analysis_json(s.ctx.vars, s.ctx.resampling.seed);
    return tesvane::answer.c_str();
}
}
