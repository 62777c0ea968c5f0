#include "platform/qt/gui_main.hpp"

#include <QApplication>

#include "app/Tesvane6i.hpp"
#include "figure/register_figure_commands.hpp"
#include "platform/qt/main_window.hpp"

namespace tesvane {

GuiSession::GuiSession() {
    register_functions(ctx);
    ui.build_windows(ctx);
    for (const FigureMenuEntry& e : figure_menu_entries())
        ui.main_window().add_figure_command(QString::fromUtf8(e.label), e.function);
}

void GuiSession::start() {
    gui::MainWindow& main = ui.main_window();
    main.show();
    gui::move_onto_screen(main);
    ui.run_exclusive("Start-up", [this] { Tesvane6i_callback(ctx, "Tesvane6i", {}); });
    // A recorded session starts where a script does: right after start-up.
    ui.recorder().restart();
    main.raise();
    main.activateWindow();
}

int run_gui(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tesvane");
    GuiSession session;
    session.start();
    return QApplication::exec();
}

}  // namespace tesvane
