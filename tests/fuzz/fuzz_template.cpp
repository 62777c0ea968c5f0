// Fuzz target of the template path: a template file and a correspondence list, loaded with the
// LoadTemplate action after an analysis of the example data and drawn by ShowAxis on the
// template. The input is the template's text, a NUL byte, the list's text, a NUL byte and one
// byte choosing the plot (group, deformation type, rotation). Any files must load or be refused
// with a message, and the picture must be drawn or refused, never read outside the lists.
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
    }
};

void write(const fs::path& p, std::string_view text) {
    std::ofstream(p, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // File dialogs move the current folder; the caller's (where libFuzzer writes what it finds)
    // is put back afterwards.
    const fs::path start = fs::current_path();
    static Analysed a;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\0');
    if (size > 8192 || cut == std::string_view::npos)
        return 0;
    const std::string_view rest = bytes.substr(cut + 1);
    const std::size_t cut2 = rest.find('\0');
    const std::string_view list = rest.substr(0, cut2);
    const unsigned choice = cut2 != std::string_view::npos && cut2 + 1 < rest.size()
                                ? static_cast<unsigned char>(rest[cut2 + 1])
                                : 0;

    const fs::path templ = a.folder / "template.txt";
    const fs::path clist = a.folder / "clist.txt";
    write(templ, bytes.substr(0, cut));
    write(clist, list);
    a.ctx.vars.clear("templatea");
    a.ctx.vars.clear("templateb");
    a.ctx.vars.clear("clist2");
    a.ctx.vars.clear("clist4");
    for (const fs::path& p : {templ, clist, clist, templ, clist, clist})
        a.ui.queue(DialogAnswer::file(p.string()));
    tesvane::run_action(a.ctx, "LoadTemplate");
    while (a.ui.queued() > 0)  // answers a refused load left unused
        a.ui.open_file_dialog("", "");

    a.ui.control("TemplateButton").set_value(1);
    a.ui.control("ReqAxisBox").set_value(3 + (choice & 1));
    a.ui.control("DeFormat").set_value(1 + (choice >> 1) % 9);
    a.ui.control("RotateRequest").set_value((choice >> 5) & 1);
    a.ui.control("ShowBox").set_string(std::to_string(1 + ((choice >> 6) & 1)));
    tesvane::run_action(a.ctx, "ShowAxis");
    fs::current_path(start);
    return 0;
}
