#include "app/script_runner.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/Tesvane6i.hpp"
#include "app/app_context.hpp"
#include "app/batch_platform.hpp"
#include "app/controls.hpp"
#include "io/atomic_file.hpp"
#include "io/number_parse.hpp"
#include "platform/error.hpp"

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

// The saver picks the format by the extension: a name that ends otherwise is written under one
// that does, then renamed.
void save_as(const FigureSaver& saver, const fig::Figure& f, const fs::path& path,
             const std::string& format) {
    std::string ext = path.extension().string();
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == "." + format) {
        saver(f, path.string());
        return;
    }
    fs::path tmp = path;
    tmp += ".part." + format;
    saver(f, tmp.string());
    fs::rename(tmp, path);
}

class ScriptRunner {
  public:
    ScriptRunner(const fs::path& script, ScriptTarget& target, std::ostream& out)
        : folder_(fs::absolute(script).parent_path()), out_(out), target_(target) {}

    // Runs one command; false when its action failed.
    bool run(const std::vector<std::string>& w) {
        AppContext& ctx = target_.ctx;
        const std::string& cmd = w[0];
        if (writes(w) && !target_.write_files)
            return true;
        if (cmd == "set") {
            need(w, 4);
            Control& c = ctx.ui.control(w[1]);
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
            return call("Tesvanesw", {w[1]});
        } else if (cmd == "call") {
            need(w, 2);
            Values args;
            for (size_t i = 2; i < w.size(); ++i)
                args.push_back(argument(w[i]));
            return call(w[1], args);
        } else if (cmd == "print") {
            need(w, 2);
            out_ << ctx.ui.control(w[1]).string() << '\n';
        } else if (cmd == "savefig") {
            need(w, 2);
            if (!target_.save_figure)
                throw ScriptError("figures cannot be saved in this build");
            target_.save_figure(ctx.ui.figure(), path(w[1]));
        } else if (cmd == "session") {
            need(w, 2);
            write_file_atomically(path(w[1]), session_json(ctx.vars) + "\n");
        } else {
            throw ScriptError("unknown command \"" + cmd + "\"");
        }
        return true;
    }

  private:
    static bool writes(const std::vector<std::string>& w) {
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
                c.button = static_cast<int>(number_word(w[4]));
            target_.queue(DialogAnswer::mouse(c));
        } else {
            throw ScriptError("unknown answer \"" + w[1] + "\" (file, cancel, text or click)");
        }
    }

    SessionValue argument(const std::string& w) const {
        if (!w.empty() && w[0] == '$') {
            // A text variable, such as a block's specimen IDs, passes as its text.
            const auto& vars = target_.ctx.vars.all();
            const auto it = vars.find(w.substr(1));
            if (it != vars.end() && std::holds_alternative<std::string>(it->second))
                return it->second;
            return target_.ctx.vars.require(w.substr(1));
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

int replay_script(const std::string& path, ScriptTarget& target, std::ostream& out,
                  std::ostream& err) {
    std::ifstream in(path);
    if (!in) {
        err << "tesvane: cannot open the script " << path << '\n';
        return 2;
    }
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
            if (!runner.run(words)) {
                ok = false;
                err << path << ", line " << number << ": " << words[0] << ' ' << words[1]
                    << " failed\n";
            }
        } catch (const std::exception& e) {
            err << path << ", line " << number << ": " << e.what() << '\n';
            return 2;
        }
    }
    return ok ? 0 : 1;
}

int run_script(const std::string& path, std::ostream& out, std::ostream& err,
               const FigureSaver& save_figure, ScriptOutput output) {
    if (!std::ifstream(path)) {
        err << "tesvane: cannot open the script " << path << '\n';
        return 2;
    }
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
    const int code = replay_script(path, target, out, err);
    ui.flush();
    return code;
}

}  // namespace tesvane
