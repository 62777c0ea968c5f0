#include "platform/qt/session_files.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include <QMessageBox>
#include <QPushButton>

#include "app/script_runner.hpp"
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

bool save_session(QtPlatform& ui) {
    // Mid-step the session is half recorded.
    if (ui.busy()) {
        ui.main_window().show_status(
            QObject::tr("Still busy with the current step; the session was not saved."), 5000);
        return false;
    }
    const std::optional<FileChoice> choice =
        ui.save_file_dialog("Save session as (a script for tesvane script)", kSessionFilter);
    if (!choice)
        return false;
    fs::path path = choice->path();
    if (!path.has_extension())
        path += ".tvs";
    try {
        ui.recorder().save(path.string());
        ui.message("Session saved to " + path.string());
        ui.main_window().show_status(QObject::tr("Session saved."), 5000);
        ui.main_window().note_recent_session(path.string());
        return true;
    } catch (const std::exception& e) {
        ui.message_box(std::string("The session was not saved: ") + e.what());
        return false;
    }
}

namespace {

std::optional<ReplayWrites> ask_about_writes(QWidget* parent,
                                             const std::vector<std::string>& files) {
    if (files.empty())
        return ReplayWrites::Skip;
    // The first few named in the question itself; all of them under Show Details.
    constexpr size_t kListed = 8;
    QString listed, all;
    for (size_t i = 0; i < files.size(); ++i) {
        const QString f = QString::fromStdString(files[i]);
        all += f + "\n";
        if (i < kListed)
            listed += "\n  " + f;
    }
    if (files.size() > kListed)
        listed += QObject::tr("\n  and %1 more").arg(files.size() - kListed);
    const QString count =
        files.size() == 1 ? QObject::tr("1 file") : QObject::tr("%1 files").arg(files.size());
    QMessageBox box(QMessageBox::Question, QObject::tr("Open session"),
                    QObject::tr("Replaying this session writes %1, replacing any that are "
                                "there:%2")
                        .arg(count, listed),
                    QMessageBox::NoButton, parent);
    box.setObjectName("ReplayQuestion");
    box.setInformativeText(
        QObject::tr("Replay without writing files runs every step but keeps the files as they "
                    "are."));
    box.setDetailedText(all);
    QPushButton* write =
        box.addButton(QObject::tr("Replay and &write them"), QMessageBox::DestructiveRole);
    write->setObjectName("ReplayWrite");
    QPushButton* skip =
        box.addButton(QObject::tr("Replay &without writing files"), QMessageBox::AcceptRole);
    skip->setObjectName("ReplaySkip");
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(skip);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() == write)
        return ReplayWrites::Write;
    if (box.clickedButton() == skip)
        return ReplayWrites::Skip;
    return std::nullopt;
}

}  // namespace

void open_session(QtPlatform& ui, AppContext& ctx, const std::string& given) {
    if (ui.busy()) {
        ui.main_window().show_status(
            QObject::tr("Still busy with the current step; the session was not replayed."), 5000);
        return;
    }
    std::string path = given;
    if (path.empty()) {
        const std::optional<FileChoice> choice =
            ui.open_file_dialog("Open session (a script to replay)", kSessionFilter);
        if (!choice)
            return;
        path = choice->path();
    }
    const std::optional<ReplayWrites> writes =
        ask_about_writes(&ui.main_window(), script_writes(path));
    if (!writes) {
        ui.main_window().show_status(QObject::tr("The session was not replayed."), 5000);
        return;
    }
    ui.main_window().note_recent_session(path);
    replay_session(ui, ctx, path, *writes);
}

int replay_session(QtPlatform& ui, AppContext& ctx, const std::string& path, ReplayWrites writes) {
    int code = -1;
    std::ostringstream out, err;
    const FigureSaver saver = [&ui](const fig::Figure&, const std::string& p) {
        save_figure_by_extension(ui, p);
    };
    const bool ran = ui.run_exclusive("Replay session", [&] {
        code = ui.recorder().replay(ctx, path, out, err, saver, writes == ReplayWrites::Write);
    });
    if (!ran) {
        ui.main_window().show_status(
            QObject::tr("Still busy with the current step; the session was not replayed."), 5000);
        return -1;
    }
    ui.main_window().refresh_block2_captions();
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);)
        ui.message(line);
    const std::string name = fs::path(path).filename().string();
    if (code == 0) {
        ui.message("Session " + path + " replayed" +
                   (writes == ReplayWrites::Write ? "" : " without writing files"));
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
    return code;
}

}  // namespace tesvane::gui
