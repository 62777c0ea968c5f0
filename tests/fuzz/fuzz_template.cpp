// Fuzz target of the template path: a template file and a correspondence list, loaded with the
// LoadTemplate action after an analysis of the example data and drawn by ShowAxis on the
// template. The input is the template's text, a NUL byte, the list's text, a NUL byte and one
// byte choosing the plot (group, deformation type, rotation); a second byte, when present, first
// draws another plot under it (plot type 5 takes its range from the picture it finds). Any
// files must load or be refused with a message, and the picture must be drawn or refused, never
// read outside the lists. Every input starts from the same session and an empty picture, so that
// what it finds replays alone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "app/Tesvane6i.hpp"
#include "app/script_runner.hpp"
#include "platform/app_context.hpp"
#include "platform/headless/headless_platform.hpp"

namespace fs = std::filesystem;
using tesvane::DialogAnswer;

namespace {

// A session after DoSVD2 on the example data, made once per process.
struct Analysed {
    fs::path folder =
        fs::temp_directory_path() / ("tesvane-fuzz-template-" + std::to_string(getpid()));
    tesvane::HeadlessPlatform ui{nullptr};
    tesvane::AppContext ctx{ui};

    Analysed() {
        fs::create_directories(folder);
        tesvane::add_window_controls(ui);
        tesvane::register_functions(ctx);
        tesvane::Tesvane6i_start(ctx);
        for (const char* action : {"LoadG1B1", "LoadG1B2", "LoadG2B1", "LoadG2B2"}) {
            const std::string g = action[5] == '1' ? "groupA" : "groupB";
            const std::string b = action[7] == '1' ? "_b1.txt" : "_b2.txt";
            ui.queue(DialogAnswer::file((fs::path(TESVANE_EXAMPLE_DATA) / (g + b)).string()));
            if (!tesvane::run_action(ctx, action))
                std::abort();
        }
        if (!tesvane::run_action(ctx, "DoSVD2"))
            std::abort();
        analysed = ctx.vars;
    }

    tesvane::Session analysed;  // the variables after DoSVD2
};

// Puts the caller's folder back on every way out: loading the example data in the first call
// moves it, and libFuzzer reads its corpus files by relative names.
struct KeepFolder {
    fs::path start = fs::current_path();
    ~KeepFolder() {
        std::error_code ec;
        fs::current_path(start, ec);
    }
};

// ShowAxis of the loaded template; `choice` picks group, deformation type, rotation and axis.
void show(Analysed& a, unsigned choice) {
    a.ui.control("TemplateButton").set_value(1);
    a.ui.control("ReqAxisBox").set_value(3 + (choice & 1));
    a.ui.control("DeFormat").set_value(1 + (choice >> 1) % 9);
    a.ui.control("RotateRequest").set_value((choice >> 5) & 1);
    a.ui.control("ShowBox").set_string(std::to_string(1 + ((choice >> 6) & 1)));
    tesvane::run_action(a.ctx, "ShowAxis");
}

void write(const fs::path& p, std::string_view text) {
    std::ofstream(p, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const KeepFolder keep;
    static Analysed a;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\0');
    if (size > 8192 || cut == std::string_view::npos)
        return 0;
    const std::string_view rest = bytes.substr(cut + 1);
    const std::size_t cut2 = rest.find('\0');
    const std::string_view list = rest.substr(0, cut2);
    const std::string_view choices =
        cut2 != std::string_view::npos ? rest.substr(cut2 + 1) : std::string_view();
    auto byte = [&](std::size_t i) {
        return i < choices.size() ? static_cast<unsigned char>(choices[i]) : 0u;
    };

    const fs::path templ = a.folder / "template.txt";
    const fs::path clist = a.folder / "clist.txt";
    write(templ, bytes.substr(0, cut));
    write(clist, list);
    a.ctx.vars = a.analysed;
    tesvane::fig::Axes& axes = a.ui.figure().axes();
    axes.cla();
    axes.set_auto_limits();
    axes.set_hold(false);
    for (const char* v : {"templatea", "templateb", "clist2", "clist2b", "clist4", "clist4b"})
        a.ctx.vars.clear(v);
    for (const fs::path& p : {templ, clist, clist, templ, clist, clist})
        a.ui.queue(DialogAnswer::file(p.string()));
    tesvane::run_action(a.ctx, "LoadTemplate");
    while (a.ui.queued() > 0)  // answers a refused load left unused
        a.ui.open_file_dialog("", "");

    if (choices.size() > 1)
        show(a, byte(1));
    show(a, byte(0));
    return 0;
}
