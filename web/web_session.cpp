#include "web/web_session.hpp"

#include <filesystem>
#include <new>
#include <nlohmann/json.hpp>
#include <sstream>

#include "analysis/analysis_record.hpp"
#include "app/Tesvane6i.hpp"
#include "app/controls.hpp"
#include "app/provenance.hpp"
#include "app/results_fields.hpp"
#include "app/results_summary.hpp"
#include "io/atomic_file.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The last diagnostic lines a step sends: a bootstrap writes thousands.
constexpr size_t kConsoleTail = 200;

std::string dump(const json& j) {
    // Texts from files may hold bytes that are not UTF-8; they must not end the step.
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

// Sets the controls the request names; an Error naming the Tag or property that is wrong.
void set_controls(Platform& ui, const json& controls) {
    if (!controls.is_object())
        throw Error("\"controls\" must be an object of Tags");
    for (const auto& [tag, props] : controls.items()) {
        Control& c = ui.control(tag);
        if (!props.is_object())
            throw Error("the properties of " + tag + " must be an object");
        for (const auto& [prop, v] : props.items()) {
            if (prop == "String" && v.is_string())
                c.set_string(v.get<std::string>());
            else if (prop == "Value" && v.is_number())
                c.set_value(v.get<double>());
            else if (prop == "Enable" && v.is_string())
                c.set_enable(v.get<std::string>());
            else
                throw Error("the property " + prop + " of " + tag +
                            " must be String or Enable (a text) or Value (a number)");
        }
    }
}

std::vector<std::string> file_list(const json& files) {
    if (!files.is_array())
        throw Error("\"files\" must be a list of paths");
    std::vector<std::string> out;
    for (const json& f : files) {
        if (!f.is_string())
            throw Error("\"files\" must be a list of paths");
        out.push_back(f.get<std::string>());
    }
    return out;
}

// What went wrong in a failed step: its last error line, else its last message box.
std::string failure(const BrowserPlatform::Events& e) {
    for (auto it = e.console.rbegin(); it != e.console.rend(); ++it)
        if (it->rfind("Error: ", 0) == 0)
            return it->substr(7);
    return e.messages.empty() ? "the step failed" : e.messages.back();
}

void add_events(json& j, const BrowserPlatform::Events& e) {
    j["messages"] = e.messages;
    j["declined"] = e.declined;
    const size_t from = e.console.size() > kConsoleTail ? e.console.size() - kConsoleTail : 0;
    j["console"] =
        std::vector<std::string>(e.console.begin() + static_cast<long>(from), e.console.end());
    j["console_count"] = e.console.size();
}

}  // namespace

WebSession::WebSession(std::string folder, BrowserPlatform::ProgressSink sink)
    : folder_(std::move(folder)), ui_(std::move(sink)) {
    ui_.figure().on_change([this] { ++figure_version_; });
    register_functions(ctx_);
    Tesvane6i_start(ctx_);
    // One thread in the browser; the results are the same for any count.
    ctx_.resampling = {kDefaultRandomSeed, 1};
    recorder_.restart();
    ui_.take_events();
}

std::string WebSession::state() {
    json j;
    const Control* report = ui_.find_control("AuxResults");
    j["report"] = report ? report->string() : "";
    json controls = json::object();
    for (const ControlSpec& c : control_table())
        if (const Control* control = ui_.find_control(c.tag))
            controls[c.tag] = {{"String", control->string()},
                               {"Value", control->value()},
                               {"Enable", control->enable()}};
    j["controls"] = controls;
    if (figure_version_ != figure_sent_) {
        figure_sent_ = figure_version_;
        // A block of millions of specimens plots more points than the page's memory can write
        // out: the step stands, and the page is told why its picture is not there.
        try {
            j["figure"] = figure_svg();
        } catch (const std::bad_alloc&) {
            j["figure_error"] = "The plot has too many points to be drawn in the page";
        }
    }
    return dump(j);
}

std::string WebSession::step(const std::string& request) {
    json answer;
    try {
        const json r = json::parse(request);
        if (!r.is_object() || !r.contains("action") || !r["action"].is_string())
            throw Error("a step names its \"action\"");
        if (r.contains("controls"))
            set_controls(ui_, r["controls"]);
        ui_.answer_files(r.contains("files") ? file_list(r["files"]) : std::vector<std::string>{});
        const std::string action = r["action"].get<std::string>();
        const bool ran = recorder_.run_action(ctx_, action);
        ui_.answer_files({});
        if (ran && action == "Clear&reset") {
            // As in the desktop's window: nothing of the forgotten analysis stays on screen.
            ui_.figure().clear();
            ui_.figure().changed();
            ui_.control("AuxResults").set_string("");
        }
        const BrowserPlatform::Events e = ui_.take_events();
        answer["ok"] = ran;
        if (!ran)
            answer["error"] = failure(e);
        add_events(answer, e);
    } catch (const std::exception& e) {
        // A request the page got wrong changes nothing but the controls it set.
        ui_.take_events();
        answer["ok"] = false;
        answer["error"] = std::string("The page's request was refused: ") + e.what();
    }
    answer.update(json::parse(state()));
    return dump(answer);
}

std::string WebSession::results_json() {
    // As `tesvane run --json` writes it: the session's results, then the structured results.
    const AnalysisRecord& record = analysis_record(ctx_);
    const ResultsSummary summary = summarise_results(ctx_, record);
    const Provenance p =
        collect_provenance(summary, record, ctx_.resampling.seed, ctx_.resampling.threads);
    return session_json(ctx_.vars, JsonScope::results, ctx_.resampling.seed,
                        results_fields_json(p, summary).dump(2));
}

std::string WebSession::script() {
    return recorder_.script((fs::path(folder_) / "session.tvs").string());
}

void WebSession::note_saved_figure(const std::string& name) {
    recorder_.note_saved_figure((fs::path(folder_) / name).string(), ui_.figure().export_size);
}

std::string WebSession::replay(const std::string& script_text) {
    json answer;
    std::ostringstream out, err;
    int code = 2;
    try {
        const std::string path = (fs::path(folder_) / "replayed.tvs").string();
        write_file_atomically(path, script_text);
        // The page draws PNG itself: only SVG figures are written here. Either way the figure
        // stays in the recorded session, as the desktop's replay keeps it.
        const FigureSaver save = [this](const fig::Figure&, const std::string& p) {
            if (fs::path(p).extension() == ".svg")
                ui_.save_figure_file(p, "svg");
            recorder_.note_saved_figure(p, ui_.figure().export_size);
        };
        code = recorder_.replay(ctx_, path, out, err, save);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
    }
    const BrowserPlatform::Events e = ui_.take_events();
    answer["ok"] = code == 0;
    answer["exit"] = code;
    answer["output"] = out.str() + err.str();
    if (code != 0)
        answer["error"] = err.str().empty() ? failure(e) : err.str();
    add_events(answer, e);
    answer.update(json::parse(state()));
    return dump(answer);
}

std::string WebSession::interface_json() {
    json controls = json::array();
    for (const ControlSpec& c : control_table()) {
        static const char* const kinds[] = {"summary", "edit", "check", "popup", "report"};
        controls.push_back({{"tag", c.tag},
                            {"kind", kinds[static_cast<int>(c.kind)]},
                            {"label", c.label},
                            {"string", c.initial_string},
                            {"value", c.initial_value},
                            {"entries", c.entries},
                            {"window", c.window},
                            {"tooltip", c.tooltip}});
    }
    json buttons = json::array();
    for (const ActionButton& b : action_buttons())
        buttons.push_back(
            {{"action", b.action}, {"label", b.label}, {"group", b.group}, {"tooltip", b.tooltip}});
    return dump({{"controls", controls}, {"buttons", buttons}, {"seed", kDefaultRandomSeed}});
}

}  // namespace tesvane
