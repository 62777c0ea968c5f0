#include "app/session_recorder.hpp"

#include <filesystem>
#include <ostream>

#include "app/Tesvane6i.hpp"
#include "app/Tesvanesw.hpp"
#include "app/controls.hpp"
#include "io/atomic_file.hpp"
#include "platform/charconv_compat.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

// Shortest text that reads back as the same double.
std::string number_text(double v) {
    return shortest_double_text(v);
}

// A word as the script reader splits it: quoted when it is empty or holds a blank. A quote can
// only stand inside an unquoted word, and a line end nowhere.
std::string script_word(const std::string& w) {
    const bool blank = w.find_first_of(" \t\r") != std::string::npos;
    const bool quote = w.find('"') != std::string::npos;
    if (w.find('\n') != std::string::npos || (quote && (blank || w[0] == '"')))
        throw Error("The session cannot be written as a script: \"" + w +
                    "\" holds a line end or a double quote");
    return w.empty() || blank ? "\"" + w + "\"" : w;
}

// Tesvanesw with an action string it has no entry for.
bool unknown_action(const std::string& function, const Values& in) {
    if (function != "Tesvanesw" || in.size() != 1)
        return false;
    const std::string* action = std::get_if<std::string>(&in[0]);
    if (!action)
        return false;
    for (const auto& entry : action_table())
        if (entry.first == *action)
            return false;
    return true;
}

bool user_edited(const ControlSpec& c) {
    return c.window == "main" && (c.kind == ControlKind::Edit || c.kind == ControlKind::Check ||
                                  c.kind == ControlKind::Popup);
}

}  // namespace

std::map<std::string, SessionRecorder::ControlState> SessionRecorder::control_states() {
    std::map<std::string, ControlState> states;
    for (const ControlSpec& c : control_table())
        if (user_edited(c))
            if (const Control* control = inner_.find_control(c.tag))
                states[c.tag] = {control->string(), control->value(), control->enable()};
    return states;
}

void SessionRecorder::restart() {
    lines_.clear();
    saved_lines_ = 0;
    answers_.clear();
    seen_ = control_states();
}

void SessionRecorder::note_control_changes() {
    const std::map<std::string, ControlState> now = control_states();
    // In table order, so that a script lists them as the window does.
    for (const ControlSpec& c : control_table()) {
        const auto it = now.find(c.tag);
        if (it == now.end())
            continue;
        const ControlState& state = it->second;
        const auto before = seen_.find(c.tag);
        const bool known = before != seen_.end();
        if (c.kind == ControlKind::Edit) {
            if (!known || before->second.string != state.string)
                lines_.push_back({{"set"}, {c.tag}, {"String"}, {state.string}});
        } else if (!known || before->second.value != state.value) {
            lines_.push_back({{"set"}, {c.tag}, {"Value"}, {number_text(state.value)}});
        }
        if (known ? before->second.enable != state.enable : state.enable != "on")
            lines_.push_back({{"set"}, {c.tag}, {"Enable"}, {state.enable}});
    }
    seen_ = now;
}

bool SessionRecorder::run(AppContext& ctx, const std::string& function, const Values& in) {
    // Steps taken inside a step are part of it.
    if (depth_ > 0)
        return Tesvane6i_callback(ctx, function, in);
    note_control_changes();
    answers_.clear();
    ++depth_;
    const bool ok = Tesvane6i_callback(ctx, function, in);
    --depth_;
    Line step;
    const std::string* action = in.size() == 1 ? std::get_if<std::string>(&in[0]) : nullptr;
    if (function == "Tesvanesw" && action) {
        step = {{"action"}, {*action}};
    } else {
        step = {{"call"}, {function}};
        for (const SessionValue& v : in) {
            if (const std::string* s = std::get_if<std::string>(&v)) {
                step.push_back({*s});
                continue;
            }
            const Matrix& m = std::get<Matrix>(v);
            std::string numbers;
            for (Index j = 0; j < m.size(); ++j)
                numbers += (j ? " " : "") + number_text(m(j));
            step.push_back({numbers});
        }
    }
    lines_.insert(lines_.end(), answers_.begin(), answers_.end());
    answers_.clear();
    lines_.push_back(std::move(step));
    // What the step itself wrote into the controls is not the user's doing.
    seen_ = control_states();
    return ok;
}

std::string SessionRecorder::script(const std::string& script_path) {
    note_control_changes();
    const fs::path folder = fs::absolute(script_path).lexically_normal().parent_path();
    std::string text = "# A recorded Tesvane session; replay it with: tesvane script FILE\n";
    for (const Line& line : lines_) {
        std::string out;
        for (const Word& w : line) {
            std::string word = w.text;
            if (w.is_path) {
                const fs::path p = fs::path(w.text).lexically_normal();
                const fs::path rel = p.lexically_relative(folder);
                if (!rel.empty() && *rel.begin() != "..")
                    word = rel.generic_string();
            }
            out += (out.empty() ? "" : " ") + script_word(word);
        }
        text += out + "\n";
    }
    return text;
}

void SessionRecorder::note_saved_figure(const std::string& path, const fig::ExportSize& size) {
    note_control_changes();
    lines_.push_back({{"savefig"},
                      {fs::absolute(path).string(), true},
                      {fig::export_size_text(size)},
                      {number_text(size.dpi)}});
}

void SessionRecorder::save(const std::string& script_path) {
    write_file_atomically(script_path, script(script_path));
    saved_lines_ = lines_.size();
}

int SessionRecorder::replay(AppContext& ctx, const std::string& script_path, std::ostream& out,
                            std::ostream& err, const FigureSaver& save_figure, bool write_files) {
    struct Replaying {
        SessionRecorder& r;
        Replaying(SessionRecorder& rec, bool writes) : r(rec) {
            r.replaying_ = true;
            r.writes_allowed_ = writes;
        }
        ~Replaying() {
            r.replaying_ = false;
            r.writes_allowed_ = true;
            r.queued_.clear();
        }
    } replaying{*this, write_files};
    ScriptTarget target{ctx, [this](DialogAnswer a) { queued_.push_back(std::move(a)); },
                        [this, &ctx](const std::string& function, const Values& in) {
                            const bool ok = run(ctx, function, in);
                            return ok && !unknown_action(function, in);
                        },
                        save_figure, write_files};
    return replay_script(script_path, target, out, err);
}

DialogAnswer SessionRecorder::next_answer(const std::string& what) {
    if (queued_.empty())
        throw Error("No answer is queued for " + what);
    DialogAnswer a = std::move(queued_.front());
    queued_.pop_front();
    return a;
}

void SessionRecorder::note_file(const std::optional<FileChoice>& choice) {
    if (choice)
        answers_.push_back({{"answer"}, {"file"}, {fs::absolute(choice->path()).string(), true}});
    else
        answers_.push_back({{"answer"}, {"cancel"}});
}

std::optional<FileChoice> SessionRecorder::file_dialog(bool open, const std::string& title,
                                                       const std::string& filter) {
    std::optional<FileChoice> choice;
    if (!replaying_) {
        choice =
            open ? inner_.open_file_dialog(title, filter) : inner_.save_file_dialog(title, filter);
    } else if (!open && !writes_allowed_) {
        // The session's answer stays in the record; the step itself sees a cancel.
        const DialogAnswer a = next_answer("the file dialog \"" + title + "\"");
        if (a.kind == DialogAnswer::Kind::File)
            note_file(FileChoice{fs::absolute(a.text).parent_path().string(),
                                 fs::absolute(a.text).filename().string()});
        else
            note_file(std::nullopt);
        return std::nullopt;
    } else {
        const DialogAnswer a = next_answer("the file dialog \"" + title + "\"");
        if (a.kind == DialogAnswer::Kind::File) {
            const fs::path p = fs::absolute(a.text);
            choice = FileChoice{p.parent_path().string(), p.filename().string()};
        } else if (a.kind != DialogAnswer::Kind::Cancel) {
            throw Error("The answer queued for the file dialog \"" + title + "\" is not a file");
        }
    }
    note_file(choice);
    return choice;
}

std::optional<FileChoice> SessionRecorder::open_file_dialog(const std::string& title,
                                                            const std::string& filter) {
    return file_dialog(true, title, filter);
}

std::optional<FileChoice> SessionRecorder::save_file_dialog(const std::string& title,
                                                            const std::string& filter) {
    return file_dialog(false, title, filter);
}

std::optional<std::string> SessionRecorder::input_dialog(const std::string& title,
                                                         const std::string& prompt,
                                                         const std::string& default_answer) {
    std::optional<std::string> text;
    if (!replaying_) {
        text = inner_.input_dialog(title, prompt, default_answer);
    } else {
        const DialogAnswer a = next_answer("the input dialog \"" + title + "\"");
        if (a.kind == DialogAnswer::Kind::Text)
            text = a.text;
        else if (a.kind != DialogAnswer::Kind::Cancel)
            throw Error("The answer queued for the input dialog \"" + title + "\" is not a text");
    }
    if (text)
        answers_.push_back({{"answer"}, {"text"}, {*text}});
    else
        answers_.push_back({{"answer"}, {"cancel"}});
    return text;
}

std::optional<Click> SessionRecorder::click_in_axes() {
    std::optional<Click> click;
    if (!replaying_) {
        click = inner_.click_in_axes();
    } else {
        const DialogAnswer a = next_answer("a mouse click in the plot");
        if (a.kind == DialogAnswer::Kind::Click)
            click = a.click;
        else if (a.kind != DialogAnswer::Kind::Cancel)
            throw Error("The answer queued for a mouse click is not a click");
    }
    if (!click) {
        answers_.push_back({{"answer"}, {"cancel"}});
        return click;
    }
    Line line = {{"answer"}, {"click"}, {number_text(click->x)}, {number_text(click->y)}};
    if (click->button != 1)
        line.push_back({std::to_string(click->button)});
    answers_.push_back(std::move(line));
    return click;
}

}  // namespace tesvane
