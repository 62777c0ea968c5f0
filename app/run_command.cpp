#include "app/run_command.hpp"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "analysis/BootSVD2Angle.hpp"
#include "app/Tesvane6i.hpp"
#include "app/results_json.hpp"
#include "app/run_picture.hpp"
#include "app/script_runner.hpp"
#include "io/atomic_file.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/headless/headless_platform.hpp"

namespace tesvane {
namespace {

// What the platform echoes is collected here and written to `err` in pieces: standard error is
// unbuffered, and a bootstrap echoes thousands of diagnostic lines.
struct EchoBuffer {
    std::ostringstream echo;
};

// The headless platform with its echo buffered and, when asked, a progress line on `err`. The
// line is cleared before echoed text is written, so that the two never run into each other.
class BatchPlatform : private EchoBuffer, public HeadlessPlatform {
  public:
    BatchPlatform(std::ostream& err, bool show_progress)
        : HeadlessPlatform(&echo), err_(err), show_(show_progress) {}
    ~BatchPlatform() override { flush(); }

    void console(const std::string& line) override {
        HeadlessPlatform::console(line);
        if (echo.tellp() > 16384)
            flush();
    }
    void show_message(const std::string& text) override {
        HeadlessPlatform::show_message(text);
        flush();
    }
    bool progress(double fraction, const std::string& what) override {
        if (!show_)
            return true;
        if (fraction >= 1) {
            flush();
            clear_line();
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        const int percent = static_cast<int>(std::floor(100 * fraction));
        if (shown_ && percent == percent_ && now - last_ < std::chrono::milliseconds(200))
            return true;
        flush();
        err_ << '\r' << what << ": " << percent << "%" << std::flush;
        shown_ = true;
        percent_ = percent;
        last_ = now;
        return true;
    }

    // Writes out what was echoed so far.
    void flush() {
        if (echo.tellp() > 0) {
            clear_line();
            err_ << echo.str();
            echo.str("");
        }
        err_.flush();
    }

  private:
    void clear_line() {
        if (shown_)
            err_ << "\r\033[K";
        shown_ = false;
    }

    std::ostream& err_;
    bool show_;
    bool shown_ = false;
    int percent_ = -1;
    std::chrono::steady_clock::time_point last_;
};

// What went wrong in a failed step: its last message box, else its last error line.
std::string failure_reason(const HeadlessPlatform& ui, size_t messages, size_t lines) {
    if (ui.messages().size() > messages)
        return ui.messages().back();
    for (size_t i = ui.console_lines().size(); i > lines; --i) {
        const std::string& l = ui.console_lines()[i - 1];
        if (l.rfind("Error: ", 0) == 0)
            return l.substr(7);
    }
    return "no report was produced";
}

// Puts the current folder back: every file dialog moves it to the folder of the chosen file.
class FolderScope {
  public:
    FolderScope() : saved_(std::filesystem::current_path()) {}
    ~FolderScope() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }

  private:
    std::filesystem::path saved_;
};

std::string absolute(const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).string();
}

}  // namespace

int run_analysis(const RunOptions& given, std::ostream& out, std::ostream& err,
                 const FigureSaver& save_figure) {
    // Paths are taken from the folder the run starts in, before the first dialog leaves it.
    RunOptions o = given;
    for (std::string* p : {&o.g1b1, &o.g1b2, &o.g2b1, &o.g2b2, &o.json, &o.figure})
        *p = absolute(*p);
    const FolderScope folder;
    BatchPlatform ui(err, o.show_progress);
    add_window_controls(ui);
    AppContext ctx(ui);
    register_functions(ctx);
    Tesvane6i_start(ctx);
    ui.control("Morph2").set_value(o.block2_landmarks ? 1 : 0);
    ui.control("HomologyButton").set_value(o.homology ? 1 : 0);
    ctx.resampling = {o.seed, o.threads};

    auto fail = [&](const std::string& step, size_t messages, size_t lines) {
        ui.flush();
        err << "tesvane: " << step << " failed: " << failure_reason(ui, messages, lines) << '\n';
        return 1;
    };

    // The same load actions as the buttons, with the files as the dialogs' answers.
    const std::pair<const char*, const std::string*> loads[] = {
        {"LoadG1B1", &o.g1b1}, {"LoadG1B2", &o.g1b2}, {"LoadG2B1", &o.g2b1}, {"LoadG2B2", &o.g2b2}};
    for (const auto& [action, file] : loads) {
        ui.queue(DialogAnswer::file(*file));
        const size_t messages = ui.messages().size();
        const size_t lines = ui.console_lines().size();
        if (!run_action(ctx, action) || ui.queued() > 0)
            return fail(action, messages, lines);
    }

    // A report is what the results window holds after the action; a step that ends without
    // one, or with a message box that stopped it, has failed. (The bootstrap's raised alpha
    // level is a notice and lets it go on.)
    auto report_step = [&](const char* action) {
        ui.control("AuxResults").set_string("");
        const size_t messages = ui.messages().size();
        const size_t lines = ui.console_lines().size();
        const bool ran = run_action(ctx, action);
        const std::string report = ui.control("AuxResults").string();
        if (!ran || report.empty())
            return fail(action, messages, lines);
        ui.flush();
        out << report << '\n' << std::flush;
        return 0;
    };
    // The permutation tests run inside the DoSVD2 step, as with the window's check box, and
    // their report follows the angle report in the same text.
    if (o.permutations) {
        ui.control("PermuteButton").set_value(1);
        ui.control("PermBox").set_string(std::to_string(*o.permutations));
    }
    if (report_step("DoSVD2"))
        return 1;
    if (o.boot) {
        ui.control("BootBox").set_string(std::to_string(*o.boot));
        ui.control("AlphaBox").set_string(o.alpha);
        if (report_step("BootSVD2Angle"))
            return 1;
    }

    if (o.show) {
        const std::string why = run_picture(ctx, ui, o, save_figure);
        if (!why.empty()) {
            ui.flush();
            err << "tesvane: the picture failed: " << why << '\n';
            return 1;
        }
    }

    if (!o.json.empty()) {
        try {
            write_file_atomically(o.json, session_json(ctx.vars, JsonScope::results, o.seed,
                                                       results_json(ctx.vars).dump()));
        } catch (const std::exception& e) {
            ui.flush();
            err << "tesvane: " << user_message(e) << '\n';
            return 1;
        }
    }
    return 0;
}

}  // namespace tesvane
