#include "app/script_runner.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/Tesvane6i.hpp"
#include "app/batch_platform.hpp"
#include "app/controls.hpp"
#include "io/atomic_file.hpp"
#include "io/number_parse.hpp"
#include "platform/app_context.hpp"
#include "platform/checked_int.hpp"
#include "platform/error.hpp"
#include "platform/session_variables.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

class ScriptError : public Error {
  public:
    using Error::Error;
};

std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        std::string w;
        if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                throw ScriptError("a quote is not closed");
            w = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                w += line[i++];
        }
        words.push_back(w);
    }
    return words;
}

double number_word(const std::string& w) {
    const std::vector<double> v = parse_numbers(w);
    if (v.size() != 1)
        throw ScriptError("\"" + w + "\" is not one number");
    return v[0];
}

// The saver picks the format by the extension: a name that ends otherwise is written under a
// unique temporary one that does, then renamed.
void save_as(const FigureSaver& saver, const fig::Figure& f, const fs::path& path,
             const std::string& format) {
    std::string ext = path.extension().string();
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == "." + format) {
        saver(f, path.string());
        return;
    }
    write_file_atomically_by(path.string(), "." + format,
                             [&](const std::string& temp) { saver(f, temp); });
}

class ScriptRunner {
  public:
    ScriptRunner(const fs::path& script, ScriptTarget& target, std::ostream& out)
        : folder_(fs::absolute(script).parent_path()), out_(out), target_(target) {}

    // Runs one command; false, after telling `failed` why, when its action or the file it
    // writes failed.
    bool run(const std::vector<std::string>& w,
             const std::function<void(const std::string& why)>& failed) {
        AppContext& ctx = target_.ctx;
        const std::string& cmd = w[0];
        if (writes_file(w) && !target_.write_files)
            return true;
        if (cmd == "set") {
            need(w, 4);
            Control& c = control(w[1]);
            if (w[2] == "String")
                c.set_string(w[3]);
            else if (w[2] == "Value")
                c.set_value(number_word(w[3]));
            else if (w[2] == "Enable")
                c.set_enable(w[3]);
            else
                throw ScriptError("unknown property " + w[2] + " (String, Value or Enable)");
        } else if (cmd == "answer") {
            need(w, 2);
            answer(w);
        } else if (cmd == "action") {
            need(w, 2);
            if (!call("Tesvanesw", {w[1]}))
                return failed(""), false;
        } else if (cmd == "call") {
            need(w, 2);
            Values args;
            for (size_t i = 2; i < w.size(); ++i)
                args.push_back(argument(w[i]));
            if (!call(w[1], args))
                return failed(""), false;
        } else if (cmd == "print") {
            need(w, 2);
            out_ << control(w[1]).string() << '\n';
        } else if (cmd == "savefig") {
            need(w, 2);
            if (!target_.save_figure)
                throw ScriptError("figures cannot be saved in this build");
            const std::string p = path(w[1]);
            if (w.size() > 2)
                ctx.ui.figure().export_size = export_size(w);
            return writes(failed, [&] { target_.save_figure(ctx.ui.figure(), p); });
        } else if (cmd == "session") {
            need(w, 2);
            const std::string p = path(w[1]);
            return writes(failed, [&] {
                write_file_atomically(p, session_json(ctx.vars, JsonScope::everything));
            });
        } else {
            throw ScriptError("unknown command \"" + cmd + "\"");
        }
        return true;
    }

  private:
    // A file the script writes: one that cannot be written fails the step, not the script.
    static bool writes(const std::function<void(const std::string&)>& failed,
                       const std::function<void()>& write) {
        try {
            write();
            return true;
        } catch (const std::exception& e) {
            failed(user_message(e));
            return false;
        }
    }

    Control& control(const std::string& tag) const {
        if (Control* c = target_.ctx.ui.find_control(tag))
            return *c;
        throw ScriptError("there is no control with the Tag \"" + tag + "\"");
    }

    // `savefig PATH SIZE [DPI]`: the size ("85x85mm") at DPI dots per inch (default 300).
    static fig::ExportSize export_size(const std::vector<std::string>& w) {
        if (w.size() > 4)
            throw ScriptError("savefig takes a path, a size and a resolution");
        double dpi = 300;
        if (w.size() > 3) {
            const std::vector<double> v = parse_numbers(w[3]);
            if (v.size() != 1)
                throw ScriptError("savefig: the resolution \"" + w[3] + "\" is not a number");
            dpi = v[0];
        }
        try {
            return fig::parse_export_size(w[2], dpi);
        } catch (const Error& e) {
            throw ScriptError(std::string("savefig: ") + e.what());
        }
    }

    // Whether the command writes a file.
    static bool writes_file(const std::vector<std::string>& w) {
        return w[0] == "savefig" || w[0] == "session" ||
               (w[0] == "call" && w.size() > 1 && (w[1] == "writetps" || w[1] == "writecsv"));
    }

    void need(const std::vector<std::string>& w, size_t n) const {
        if (w.size() < n)
            throw ScriptError(w[0] + " needs " + std::to_string(n - 1) + " words");
    }

    bool call(const std::string& function, const Values& in) {
        return target_.call ? target_.call(function, in)
                            : Tesvane6i_callback(target_.ctx, function, in);
    }

    std::string path(const std::string& p) const {
        if (p.empty())
            throw ScriptError("the file name is empty");
        const fs::path given = p;
        return (given.is_absolute() ? given : folder_ / given).string();
    }

    void answer(const std::vector<std::string>& w) {
        if (w[1] == "file") {
            need(w, 3);
            target_.queue(DialogAnswer::file(path(w[2])));
        } else if (w[1] == "cancel") {
            target_.queue(DialogAnswer::cancel());
        } else if (w[1] == "text") {
            need(w, 3);
            target_.queue(DialogAnswer::input(w[2]));
        } else if (w[1] == "click") {
            need(w, 4);
            Click c{number_word(w[2]), number_word(w[3]), 1};
            if (w.size() > 4)
                c.button = checked_int(number_word(w[4]), 1, 3, "The mouse button", true);
            target_.queue(DialogAnswer::mouse(c));
        } else {
            throw ScriptError("unknown answer \"" + w[1] + "\" (file, cancel, text or click)");
        }
    }

    SessionValue argument(const std::string& w) const {
        if (!w.empty() && w[0] == '$') {
            const std::string name = w.substr(1);
            if (find_session_variable(name) == nullptr)
                throw ScriptError(w + ": there is no session variable \"" + name + "\"");
            // A text variable, such as a block's specimen IDs, passes as its text.
            const SessionValue* value = target_.ctx.vars.find(name);
            if (value != nullptr && std::holds_alternative<std::string>(*value))
                return *value;
            return target_.ctx.vars.require(name);
        }
        try {
            const std::vector<double> v = parse_numbers(w);
            if (!v.empty()) {
                Matrix m(1, static_cast<Index>(v.size()));
                for (size_t i = 0; i < v.size(); ++i)
                    m(0, static_cast<Index>(i)) = v[i];
                return m;
            }
        } catch (const Error&) {
        }
        return w;
    }

    fs::path folder_;
    std::ostream& out_;
    ScriptTarget& target_;
};

}  // namespace

void add_window_controls(HeadlessPlatform& ui) {
    for (const ControlSpec& c : control_table())
        ui.add_control(c.tag, c.initial_string, c.initial_value);
}

std::vector<std::string> script_writes(const std::string& path) {
    std::ifstream in(path);
    const fs::path folder = fs::absolute(path).parent_path();
    const auto full = [&folder](const std::string& p) {
        const fs::path given = p;
        return (given.is_absolute() ? given : folder / given).lexically_normal().string();
    };
    std::vector<std::string> files, answered;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> w;
        try {
            w = split_words(line);
        } catch (const std::exception&) {
            continue;
        }
        if (w.size() < 2 || w[0][0] == '#')
            continue;
        if (w[0] == "answer") {
            if (w[1] == "file" && w.size() > 2)
                answered.push_back(full(w[2]));
            continue;
        }
        if (w[0] == "savefig" || w[0] == "session") {
            files.push_back(full(w[1]));
        } else if (w[0] == "call" && (w[1] == "writetps" || w[1] == "writecsv") && w.size() > 2) {
            files.push_back(full(w[2]));
        } else if ((w[0] == "action" || w[0] == "call") && w[1].rfind("Load", 0) != 0) {
            // The files a step other than a load is given are the ones it saves to.
            files.insert(files.end(), answered.begin(), answered.end());
        }
        if (w[0] == "action" || w[0] == "call")
            answered.clear();
    }
    return files;
}

namespace {

// The script's text, read once (a pipe works too), or nothing after saying on `err` why it
// cannot be read.
std::optional<std::string> read_script(const std::string& path, std::ostream& err) {
    std::error_code ec;
    if (path.empty()) {
        err << "tesvane: the script's file name is empty\n";
        return std::nullopt;
    }
    if (fs::is_directory(path, ec)) {
        err << "tesvane: the script " << path << " is a folder, not a file\n";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    if (!in || in.bad()) {
        err << "tesvane: cannot read the script " << path << '\n';
        return std::nullopt;
    }
    return text.str();
}

}  // namespace

int replay_script_text(const std::string& path, const std::string& text, ScriptTarget& target,
                       std::ostream& out, std::ostream& err) {
    std::istringstream in(text);
    ScriptRunner runner(path, target, out);
    bool ok = true;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        try {
            const std::vector<std::string> words = split_words(line);
            if (words.empty() || words[0][0] == '#')
                continue;
            if (!runner.run(words, [&](const std::string& why) {
                    err << path << ", line " << number << ": " << words[0] << ' ' << words[1]
                        << " failed" << (why.empty() ? "" : ": " + why) << '\n';
                }))
                ok = false;
        } catch (const std::exception& e) {
            err << path << ", line " << number << ": " << user_message(e) << '\n';
            return 2;
        }
    }
    return ok ? 0 : 1;
}

int replay_script(const std::string& path, ScriptTarget& target, std::ostream& out,
                  std::ostream& err) {
    const std::optional<std::string> text = read_script(path, err);
    return text ? replay_script_text(path, *text, target, out, err) : 2;
}

int run_script(const std::string& path, std::ostream& out, std::ostream& err,
               const FigureSaver& save_figure, ScriptOutput output) {
    const std::optional<std::string> text = read_script(path, err);
    if (!text)
        return 2;
    BatchPlatform ui(err, {output.quiet, output.verbose, output.progress, true});
    AppContext ctx(ui);
    add_window_controls(ui);
    register_functions(ctx);
    // Figure commands that write files (CopyImageEPS) go through the same saver.
    if (save_figure) {
        ui.on_save_figure_file(
            [&save_figure](const fig::Figure& f, const std::string& p, const std::string& format) {
                save_as(save_figure, f, p, format);
            });
    }
    Tesvane6i_start(ctx);
    // What a step said is written out before the script names the step as failed.
    const auto call = [&ctx, &ui](const std::string& function, const Values& in) {
        const bool ok = Tesvane6i_callback(ctx, function, in);
        ui.flush();
        return ok;
    };
    ScriptTarget target{ctx, [&ui](DialogAnswer a) { ui.queue(std::move(a)); }, call, save_figure};
    const int code = replay_script_text(path, *text, target, out, err);
    ui.flush();
    return code;
}

}  // namespace tesvane
