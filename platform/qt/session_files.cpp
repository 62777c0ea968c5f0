#include "platform/qt/session_files.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "platform/error.hpp"
#include "platform/qt/main_window.hpp"
#include "platform/qt/qt_platform.hpp"

namespace tesvane::gui {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSessionFilter = "*.tvs";

// `savefig` lines: the type follows the name's extension, as in `tesvane script`.
void save_figure_by_extension(QtPlatform& ui, const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext.size() < 2)
        throw Error("savefig " + path + ": the name needs an extension (.svg .png .pdf .eps)");
    ui.save_figure_file(path, ext.substr(1));
    ui.recorder().note_saved_figure(path, ui.figure().export_size);
}

}  // namespace

void save_session(QtPlatform& ui) {
    // Mid-step the session is half recorded.
    if (ui.busy()) {
        ui.main_window().show_status(
            QObject::tr("Still busy with the current step; the session was not saved."), 5000);
        return;
    }
    const std::optional<FileChoice> choice =
        ui.save_file_dialog("Save session as (a script for tesvane script)", kSessionFilter);
    if (!choice)
        return;
    fs::path path = choice->path();
    if (!path.has_extension())
        path += ".tvs";
    try {
        ui.recorder().save(path.string());
        ui.console("Session saved to " + path.string());
        ui.main_window().show_status(QObject::tr("Session saved."), 5000);
    } catch (const std::exception& e) {
        const std::string msg = std::string("The session was not saved: ") + e.what();
        ui.message_box(msg);
        ui.console("Error: " + msg);
    }
}

void open_session(QtPlatform& ui, AppContext& ctx) {
    if (ui.busy()) {
        ui.main_window().show_status(
            QObject::tr("Still busy with the current step; the session was not replayed."), 5000);
        return;
    }
    const std::optional<FileChoice> choice =
        ui.open_file_dialog("Open session (a script to replay)", kSessionFilter);
    if (choice)
        replay_session(ui, ctx, choice->path());
}

int replay_session(QtPlatform& ui, AppContext& ctx, const std::string& path) {
    int code = -1;
    std::ostringstream out, err;
    const FigureSaver saver = [&ui](const fig::Figure&, const std::string& p) {
        save_figure_by_extension(ui, p);
    };
    const bool ran = ui.run_exclusive(
        "Replay session", [&] { code = ui.recorder().replay(ctx, path, out, err, saver); });
    if (!ran) {
        ui.main_window().show_status(
            QObject::tr("Still busy with the current step; the session was not replayed."), 5000);
        return -1;
    }
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);)
        ui.console(line);
    const std::string name = fs::path(path).filename().string();
    if (code == 0) {
        ui.console("Session " + path + " replayed");
        ui.main_window().show_status(QObject::tr("Session replayed."), 5000);
        return code;
    }
    std::string problems = err.str();
    while (!problems.empty() && problems.back() == '\n')
        problems.pop_back();
    const std::string msg = (code == 1 ? "Steps of the session " + name + " failed:\n"
                                       : "The session " + name + " could not be replayed:\n") +
                            problems;
    ui.message_box(msg);
    ui.console("Error: " + msg);
    return code;
}

}  // namespace tesvane::gui
