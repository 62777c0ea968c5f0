// The one interface through which the program reaches windows, controls, dialogs, the console
// and the current figure. The Qt GUI and the headless (scripted) platform both implement it;
// the dispatcher and every action run unchanged on either.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// A control of one of the windows, found by its Tag.
class Control {
  public:
    virtual ~Control() = default;
    virtual std::string string() const = 0;  // `String`
    virtual void set_string(const std::string& s) = 0;
    virtual double value() const = 0;  // `Value`
    virtual void set_value(double v) = 0;
    virtual std::string enable() const = 0;  // `Enable`: "on" or "off"
    virtual void set_enable(const std::string& e) = 0;
};

// A file picked in a dialog: its folder and its name.
struct FileChoice {
    std::string folder;
    std::string name;
    std::string path() const;  // folder and name joined
};

// One mouse click in the axes, in data units; button 3 is the right button.
struct Click {
    double x = 0, y = 0;
    int button = 1;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // The control with this Tag in any open window, or nullptr.
    virtual Control* find_control(const std::string& tag) = 0;

    // File dialogs with a filter ("*.*") and a title; nothing on cancel.
    virtual std::optional<FileChoice> open_file_dialog(const std::string& title,
                                                       const std::string& filter) = 0;
    virtual std::optional<FileChoice> save_file_dialog(const std::string& title,
                                                       const std::string& filter) = 0;
    // A message box that tells the user why the current action stops (a check on the user's
    // input failed); it returns at once. Counted, so that a script knows the action failed.
    void message_box(const std::string& text) {
        ++refusals_;
        show_message(text);
    }
    // A message box that informs and lets the action go on.
    void notice(const std::string& text) { show_message(text); }
    // Message boxes shown through message_box so far.
    std::size_t refusals() const { return refusals_; }
    // Shows a message and returns at once.
    virtual void show_message(const std::string& text) = 0;
    // A modal one-line input dialog; nothing on cancel.
    virtual std::optional<std::string> input_dialog(const std::string& title,
                                                    const std::string& prompt,
                                                    const std::string& default_answer) = 0;
    // Waits for one click in the current axes; nothing when the wait was abandoned.
    virtual std::optional<Click> click_in_axes() = 0;
    // One line of diagnostic output.
    virtual void console(const std::string& line) = 0;
    // A message for the user that needs no box (the windows show it in their Messages pane);
    // by default a console line.
    virtual void message(const std::string& text) { console(text); }

    // The main window's figure and the results window.
    virtual fig::Figure& figure() = 0;
    // Opens the results window, or raises it when it is already open.
    virtual void open_results_window() = 0;
    // Replaces the report of the results window (`AuxResults`), opening the window if needed.
    void show_report(const std::string& report);
    // Progress of a long action, 0 ... 1; returns false when the user asked to cancel.
    virtual bool progress(double fraction, const std::string& what) = 0;
    // Puts the current figure on the clipboard as a picture.
    virtual void copy_figure_to_clipboard() = 0;
    // Writes the current figure to `path` in `format` ("eps", "svg", "pdf" or "png"), whatever
    // the name ends with. A platform that cannot draw figures into files keeps this default,
    // which fails with an Error.
    virtual void save_figure_file(const std::string& path, const std::string& format);

    // The control with this Tag; an Error naming the Tag when there is none.
    Control& control(const std::string& tag);

  private:
    std::size_t refusals_ = 0;
};

}  // namespace tesvane
