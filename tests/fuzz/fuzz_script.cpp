// Fuzz target of the script interpreter: any text run as a script in a headless session must end
// with a status of 0, 1 or 2 and never read or write outside its inputs. The session starts in
// a scratch folder holding small data files (the example data, a template and correspondence
// lists), so that scripts can load data, analyse and draw.
//
// Scripts name files only inside that folder: an input with a slash or ".." is skipped, and
// whatever a script writes is removed before the next one. Scripts that set the bootstrap or
// permutation counts are skipped too: their run time grows with the number typed, not with the
// script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "app/Tesvane6i.hpp"
#include "app/script_runner.hpp"
#include "platform/app_context.hpp"
#include "platform/headless/headless_platform.hpp"

namespace fs = std::filesystem;

namespace {

const char* const kExampleFiles[] = {"groupA_b1.txt", "groupA_b2.txt", "groupA_vars.txt",
                                     "groupB_b1.txt", "groupB_b2.txt", "groupB_vars.txt"};

// The scratch folder with its data files; made once per process.
const fs::path& scratch() {
    static const fs::path folder = [] {
        fs::path f =
            fs::temp_directory_path() / ("tesvane-fuzz-script-" + std::to_string(getpid()));
        fs::create_directories(f);
        for (const char* name : kExampleFiles)
            fs::copy_file(fs::path(TESVANE_EXAMPLE_DATA) / name, f / name,
                          fs::copy_options::overwrite_existing);
        std::ofstream(f / "template.txt") << "0 0 4 0 4 3 2 5 0 3 1\n";
        std::ofstream(f / "clist.txt") << "1 1\n2 2\n";
        std::ofstream(f / "clist_row.txt") << "1 1 2 2\n";
        std::ofstream(f / "clist_col.txt") << "1\n2\n";
        return f;
    }();
    return folder;
}

// Removes what the last script wrote.
void tidy(const fs::path& folder, const std::set<std::string>& keep) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (!keep.count(e.path().filename().string()))
            fs::remove_all(e.path(), ec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (size > 4096 || text.find('/') != std::string::npos ||
        text.find("..") != std::string::npos || text.find("BootBox") != std::string::npos ||
        text.find("PermBox") != std::string::npos ||
        text.find("PermuteButton") != std::string::npos)
        return 0;
    const fs::path& folder = scratch();
    static const std::set<std::string> keep = [&] {
        std::set<std::string> k;
        for (const auto& e : fs::directory_iterator(folder))
            k.insert(e.path().filename().string());
        return k;
    }();
    // Functions such as dload take paths from the current folder; the caller's folder (where
    // libFuzzer writes what it finds) is put back afterwards.
    const fs::path start = fs::current_path();
    fs::current_path(folder);

    std::ostringstream out, err;
    tesvane::HeadlessPlatform ui(nullptr);
    tesvane::AppContext ctx(ui);
    tesvane::add_window_controls(ui);
    tesvane::register_functions(ctx);
    tesvane::Tesvane6i_start(ctx);
    tesvane::ScriptTarget target{
        ctx, [&ui](tesvane::DialogAnswer a) { ui.queue(std::move(a)); }, {}, {}};
    const int status =
        tesvane::replay_script_text((folder / "fuzz.tvs").string(), text, target, out, err);
    tidy(folder, keep);
    fs::current_path(start);
    if (status < 0 || status > 2)
        std::abort();
    return 0;
}
