#include "app/run_command.hpp"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "analysis/BootSVD2Angle.hpp"
#include "app/Tesvane6i.hpp"
#include "app/provenance.hpp"
#include "app/results_fields.hpp"
#include "app/results_summary.hpp"
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
    void message_box(const std::string& text) override {
        HeadlessPlatform::message_box(text);
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

// The bootstrap settings of this run, put back afterwards.
class SettingsScope {
  public:
    explicit SettingsScope(const BootstrapSettings& s) : saved_(bootstrap_settings()) {
        bootstrap_settings() = s;
    }
    ~SettingsScope() { bootstrap_settings() = saved_; }

  private:
    BootstrapSettings saved_;
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

const char* const kJsonVariables[] = {
    "reference1", "reference2", "reference2g", "data1", "data2",  "data1g",   "data2g",    "pw1",
    "pw2",        "pw1g",       "pw2g",        "ubee2", "sbee2",  "vbee2",    "ubee2g",    "sbee2g",
    "vbee2g",     "sval2",      "sval2g",      "scor2", "scor2g", "swc1",     "swc2",      "swc1g",
    "swc2g",      "Vm1c",       "Vm2c",        "Vm1g",  "Vm2g",   "activem2", "homology2",
};

std::string json_number(double v) {
    // JSON has no infinities nor not-a-number values.
    return std::isfinite(v) ? cformat("%.17g", v) : std::string("null");
}

std::string json_matrix(const Matrix& m) {
    std::string s = "[";
    for (Index i = 0; i < m.rows(); ++i) {
        s += i ? ", [" : "[";
        for (Index j = 0; j < m.cols(); ++j)
            s += (j ? ", " : "") + json_number(m(i, j));
        s += "]";
    }
    return s + "]";
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

// The structured results of the run, as the text of a JSON object.
std::string results_text(AppContext& ctx) {
    const ResultsSummary summary = summarise_results(ctx.vars, ctx.record);
    const BootstrapSettings& settings = bootstrap_settings();
    const Provenance p = collect_provenance(summary, ctx.record, settings.seed, settings.threads);
    return results_fields_json(p, summary).dump(2);
}

}  // namespace

std::string analysis_json(const Session& vars, std::uint64_t seed, const std::string& results) {
    std::string s = "{";
    for (const char* name : kJsonVariables)
        s += cformat("\n  \"%s\": ", name) + json_matrix(vars.matrix(name)) + ",";
    s += cformat("\n  \"seed\": %llu", static_cast<unsigned long long>(seed));
    if (!results.empty())
        s += ",\n  \"results\": " + results;
    return s + "\n}\n";
}

int run_analysis(const RunOptions& given, std::ostream& out, std::ostream& err,
                 const FigureSaver& save_figure) {
    // Paths are taken from the folder the run starts in, before the first dialog leaves it.
    RunOptions o = given;
    for (std::string* p :
         {&o.g1b1, &o.g1b2, &o.g2b1, &o.g2b2, &o.json, &o.figure, &o.report, &o.scores})
        *p = absolute(*p);
    const FolderScope folder;
    BatchPlatform ui(err, o.show_progress);
    add_window_controls(ui);
    AppContext ctx(ui);
    if (!o.command_line.empty())
        ctx.record.origin = "Command line: " + o.command_line;
    if (save_figure) {
        // The report's figures are written through the platform, like a script's.
        ui.on_save_figure_file([&save_figure](const fig::Figure& f, const std::string& path,
                                              const std::string&) { save_figure(f, path); });
    }
    register_functions(ctx);
    Tesvane6i_start(ctx);
    ui.control("Morph2").set_value(o.block2_landmarks ? 1 : 0);
    ui.control("HomologyButton").set_value(o.homology ? 1 : 0);
    const SettingsScope settings({o.seed, o.threads});

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
        if (!run_action(ctx, action) || ui.messages().size() > messages || ui.queued() > 0)
            return fail(action, messages, lines);
    }

    // A report is what the results window holds after the action; a step that ends without
    // one has failed. The analysis has no message that lets it go on; the bootstrap has one,
    // the raised alpha level.
    auto report_step = [&](const char* action, bool messages_fail) {
        ui.control("AuxResults").set_string("");
        const size_t messages = ui.messages().size();
        const size_t lines = ui.console_lines().size();
        const bool ran = run_action(ctx, action);
        const std::string report = ui.control("AuxResults").string();
        if (!ran || report.empty() || (messages_fail && ui.messages().size() > messages))
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
    if (report_step("DoSVD2", true))
        return 1;
    if (o.boot) {
        ui.control("BootBox").set_string(std::to_string(*o.boot));
        ui.control("AlphaBox").set_string(o.alpha);
        if (report_step("BootSVD2Angle", false))
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

    // The scores and the report are written by the actions of their button and menu entry.
    const std::pair<const char*, const std::string*> exports[] = {{"SaveScores", &o.scores},
                                                                  {"ExportReport", &o.report}};
    for (const auto& [action, file] : exports) {
        if (file->empty())
            continue;
        ui.queue(DialogAnswer::file(*file));
        const size_t messages = ui.messages().size();
        const size_t lines = ui.console_lines().size();
        if (!run_action(ctx, action) || ui.messages().size() > messages || ui.queued() > 0)
            return fail(action, messages, lines);
    }

    if (!o.json.empty()) {
        try {
            write_file_atomically(o.json, analysis_json(ctx.vars, o.seed, results_text(ctx)));
        } catch (const Error& e) {
            ui.flush();
            err << "tesvane: " << e.what() << '\n';
            return 1;
        }
    }
    return 0;
}

}  // namespace tesvane
