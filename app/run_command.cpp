#include "app/run_command.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/analysis_record.hpp"
#include "app/Tesvane6i.hpp"
#include "app/batch_platform.hpp"
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

// The structured results of the run, as the text of a JSON object.
std::string results_text(AppContext& ctx) {
    const AnalysisRecord& record = analysis_record(ctx);
    const ResultsSummary summary = summarise_results(ctx, record);
    const Provenance p =
        collect_provenance(summary, record, ctx.resampling.seed, ctx.resampling.threads);
    return results_fields_json(p, summary).dump(2);
}

}  // namespace

std::pair<int, std::string> parse_magnitude(const std::string& text) {
    if (text == "range")
        return {3, "1"};
    const std::size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    if (colon != std::string::npos && (kind == "factor" || kind == "sd")) {
        const std::string number = text.substr(colon + 1);
        std::size_t used = 0;
        double v = 0;
        try {
            v = std::stod(number, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used > 0 && used == number.size() && std::isfinite(v))
            return {kind == "sd" ? 2 : 1, number};
    }
    throw Error("magnitude \"" + text + "\": give factor:E, sd:K or range");
}

std::pair<std::string, std::string> split_group_names(const std::string& text) {
    const std::size_t comma = text.find(',');
    auto blank = [](const std::string& s) {
        return s.find_first_not_of(" \t") == std::string::npos;
    };
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos ||
        blank(text.substr(0, comma)) || blank(text.substr(comma + 1)))
        throw Error("group names \"" + text + "\": give two names separated by a comma");
    return {text.substr(0, comma), text.substr(comma + 1)};
}

int run_analysis(const RunOptions& given, std::ostream& out, std::ostream& err,
                 const FigureSaver& save_figure) {
    // Paths are taken from the folder the run starts in, before the first dialog leaves it.
    RunOptions o = given;
    for (std::string* p :
         {&o.g1b1, &o.g1b2, &o.g2b1, &o.g2b2, &o.json, &o.figure, &o.report, &o.scores})
        *p = absolute(*p);
    for (auto* list : {&o.templates, &o.clists})
        for (std::string& p : *list)
            p = absolute(p);
    const FolderScope folder;
    // A failed step's error is in its closing line, so error lines are not echoed as well.
    BatchPlatform ui(err, {o.quiet, o.verbose, o.show_progress, false});
    add_window_controls(ui);
    AppContext ctx(ui);
    if (!o.command_line.empty())
        analysis_record(ctx).origin = "Command line: " + o.command_line;
    if (save_figure) {
        // The report's figures are written through the platform, like a script's.
        ui.on_save_figure_file([&save_figure](const fig::Figure& f, const std::string& path,
                                              const std::string&) { save_figure(f, path); });
    }
    register_functions(ctx);
    Tesvane6i_start(ctx);
    ui.control("Morph2").set_value(o.block2_landmarks ? 1 : 0);
    if (!o.names.empty()) {
        try {
            const auto [first, second] = split_group_names(o.names);
            ui.control("GroupName1").set_string(first);
            ui.control("GroupName2").set_string(second);
        } catch (const Error& e) {
            err << "tesvane: " << e.what() << '\n';
            return 1;
        }
    }
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

    // The templates go through the same action as the button: each group's template, then its
    // correspondence lists for block 1 and block 2.
    if (!o.templates.empty() || !o.clists.empty()) {
        if (o.templates.empty() || o.clists.empty() || o.templates.size() > 2 ||
            o.clists.size() > 2) {
            err << "tesvane: give --template and --clist once for both groups or once per group\n";
            return 1;
        }
        for (std::size_t g = 0; g < 2; ++g) {
            const std::string& t = o.templates[std::min(g, o.templates.size() - 1)];
            const std::string& c = o.clists[std::min(g, o.clists.size() - 1)];
            for (const std::string* f : {&t, &c, &c})
                ui.queue(DialogAnswer::file(*f));
        }
        const size_t messages = ui.messages().size();
        const size_t lines = ui.console_lines().size();
        if (!run_action(ctx, "LoadTemplate") || ui.messages().size() > messages || ui.queued() > 0)
            return fail("LoadTemplate", messages, lines);
        ui.control("TemplateButton").set_value(1);
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
            write_file_atomically(
                o.json, session_json(ctx.vars, JsonScope::results, o.seed, results_text(ctx)));
        } catch (const std::exception& e) {
            ui.flush();
            err << "tesvane: " << user_message(e) << '\n';
            return 1;
        }
    }
    return 0;
}

}  // namespace tesvane
