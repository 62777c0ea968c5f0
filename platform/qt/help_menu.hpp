// The Help menu: Getting started, the plot and deformation types, and About (version, licence,
// how to cite).
#pragma once

class QMainWindow;
class QString;

namespace tesvane::gui {

// Adds the Help menu to the window's menu bar.
void add_help_menu(QMainWindow& window);

// The texts the menu shows, for tests.
QString about_text();
QString getting_started_text();

}  // namespace tesvane::gui
