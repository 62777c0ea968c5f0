#include "app/AuxBox.hpp"

#include <filesystem>

#include "io/atomic_file.hpp"
#include "platform/error.hpp"
#include "platform/report_number.hpp"

namespace tesvane {

void show_report(AppContext& ctx, const std::string& report) {
    // Each report prints its undefined values as "not defined"; one that still holds "nan" or
    // "inf" has met a case no check foresaw, and is not shown as if it were a result.
    if (has_non_finite_word(report))
        throw Error(
            "the results hold a value that is not a number, so no report is shown (the data may "
            "have a block without variation)");
    Control* box = ctx.ui.find_control("AuxResults");
    if (!box) {
        ctx.ui.open_results_window();
        box = &ctx.ui.control("AuxResults");
    }
    box->set_string(report);
}

void AuxBoxsw(AppContext& ctx) {
    const std::string report = ctx.ui.control("AuxResults").string();
    const std::optional<FileChoice> choice =
        ctx.ui.save_file_dialog("File Name for Partial Warp Scores", "*.*");
    if (!choice)
        return;
    std::error_code ec;
    std::filesystem::current_path(choice->folder, ec);
    try {
        append_file_atomically(choice->path(), report + " \n");
    } catch (const Error& e) {
        ctx.ui.message_box(e.what());
        ctx.ui.console(e.what());
    }
}

}  // namespace tesvane
