#include "app/AuxBox.hpp"

#include <filesystem>

#include "io/atomic_file.hpp"
#include "platform/error.hpp"

namespace tesvane {

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
