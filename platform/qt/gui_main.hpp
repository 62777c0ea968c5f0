// The program with its windows.
#pragma once

#include "platform/app_context.hpp"
#include "platform/qt/qt_platform.hpp"

namespace tesvane {

// Platform, session and callable table wired together, windows built but not yet shown.
// Needs a QApplication.
class GuiSession {
  public:
    GuiSession();
    // Program start: shows the main window and calls the main window function with no input
    // (which opens the results window and fills RefAngleBox), main window on top.
    void start();

    gui::QtPlatform ui;
    AppContext ctx{ui.recorder()};
};

// Runs the windowed program until its last window closes; returns the exit code.
int run_gui(int argc, char** argv);

}  // namespace tesvane
