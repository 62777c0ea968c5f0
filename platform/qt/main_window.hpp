// The main window: the five steps of an analysis down the left (load, analyse, bootstrap,
// show, save), the plot on the right with the console below it. Built from the control table
// and the action buttons, so every Tag and every action string has its widget.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "app/controls.hpp"
#include "platform/app_context.hpp"

class QAction;
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
    QPlainTextEdit& console_pane() { return *console_; }

    // Runs an action string as its button does; ignored while another action runs.
    void press(const std::string& action, const std::string& label);
    // Adds a Figure menu entry that calls the registered function `function` with no input.
    QAction* add_figure_command(const QString& label, const std::string& function);

    void append_console(const std::string& line);
    // Status bar text while an action runs; an empty `what` means idle again.
    void set_busy(const std::string& what);
    void show_status(const QString& text, int timeout_ms = 0);

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
    QMenu* figure_menu_ = nullptr;
    QAction* commands_separator_ = nullptr;
    QLabel* busy_label_ = nullptr;
    bool close_pending_ = false;
};

}  // namespace tesvane::gui
