// The main window: the five steps of an analysis down the left (load, analyse, bootstrap,
// show, save), the plot on the right with the console below it. Built from the control table
// and the action buttons, so every Tag and every action string has its widget.
#pragma once

#include <QMainWindow>
#include <QString>
#include <deque>
#include <map>
#include <memory>
#include <string>

#include "app/controls.hpp"
#include "platform/app_context.hpp"

class QAction;
class QDockWidget;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace tesvane::gui {

class PlotWidget;
class QtPlatform;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(QtPlatform& platform, AppContext& ctx);
    ~MainWindow() override;

    // The main-window control with this Tag, or nullptr.
    Control* control(const std::string& tag);
    // The button that sends `action`, or nullptr.
    QPushButton* button(const std::string& action);
    PlotWidget& plot() { return *plot_; }
    // The Messages pane: the steps' messages and errors.
    QPlainTextEdit& console_pane() { return *console_; }
    // The Diagnostics view (View menu, hidden at start): the steps' diagnostic lines.
    QPlainTextEdit& diagnostics_pane();
    QDockWidget& diagnostics_view() { return *diagnostics_dock_; }

    // Runs an action string as its button does; ignored while another action runs.
    void press(const std::string& action, const std::string& label);
    // Adds a Figure menu entry that calls the registered function `function` with no input.
    QAction* add_figure_command(const QString& label, const std::string& function);

    // A console line: an error goes to Messages, anything else to Diagnostics.
    void append_console(const std::string& line);
    // A message for the user in the Messages pane.
    void append_message(const std::string& text, bool error = false);
    // Status bar text while an action runs; an empty `what` means idle again.
    void set_busy(const std::string& what);
    void show_status(const QString& text, int timeout_ms = 0);
    // Takes the results window in as a dock beside the plot (it can be undocked); closing the
    // dock closes the results window.
    void dock_results(QWidget& results);
    QDockWidget* results_dock() { return results_dock_; }
    // Puts a session file first in File > Recent sessions.
    void note_recent_session(const std::string& path);
    // The plain captions under the block-2 summaries, after what they show.
    void refresh_block2_captions();
    // Loads a data file dropped on a summary box through that box's load action.
    void load_dropped_file(const std::string& action, const std::string& path);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Entry {
        const ControlSpec* control_spec;
        QWidget* widget;
        std::unique_ptr<Control> control;
        bool placed = false;
    };

    QWidget* build_steps();
    QGroupBox* load_step();
    QGroupBox* analyse_step();
    QGroupBox* bootstrap_step();
    QGroupBox* show_step();
    QGroupBox* save_step();
    QGroupBox* leftovers_step();
    void build_menus();
    void build_diagnostics_view();
    void fill_recent_menus();
    void accept_drops_on_summaries();
    // Around the buttons' actions: Clear and reset asks first when there is work to lose.
    bool confirm(const std::string& action);
    void after(const std::string& action, bool ok);
    void report_templates();

    // The widget of a Tag, marked as placed; nullptr if the table has no such Tag.
    QWidget* take(const std::string& tag);
    // A labelled editor for a Tag, as a "label: widget" pair for form layouts.
    QLabel* label_for(const std::string& tag);
    QPushButton* take_button(const std::string& action);

    QtPlatform& platform_;
    AppContext& ctx_;
    std::map<std::string, Entry> controls_;
    std::map<std::string, QPushButton*> buttons_;
    std::map<std::string, bool> button_placed_;
    PlotWidget* plot_ = nullptr;
    QPlainTextEdit* console_ = nullptr;
    QDockWidget* diagnostics_dock_ = nullptr;
    QDockWidget* results_dock_ = nullptr;
    QPlainTextEdit* diagnostics_ = nullptr;
    // Diagnostic lines arrive by the thousand; the hidden view takes them when it is shown.
    std::deque<QString> diagnostics_waiting_;
    QMenu* figure_menu_ = nullptr;
    QAction* commands_separator_ = nullptr;
    QMenu* recent_sessions_ = nullptr;
    QMenu* recent_folders_ = nullptr;
    bool picture_shown_ = false;
    std::map<std::string, QLabel*> block2_kind_;  // by the load action of each block 2  // Show
                                                  // drew a picture that Axis up/down redraw
    QLabel* busy_label_ = nullptr;
    bool close_pending_ = false;
};

}  // namespace tesvane::gui
