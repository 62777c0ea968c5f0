// The platform with windows: the main window and the results window built from the control
// table, Qt dialogs, and the figure painted in the main window's plot area.
//
// Everything runs on the GUI thread. An action runs to its end before the next one starts;
// while it waits (a dialog, a click in the plot, a progress report) a nested event loop keeps
// the windows painting, and button presses that would start another action are refused.
#pragma once

#include <QElapsedTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/session_recorder.hpp"
#include "platform/app_context.hpp"
#include "platform/platform.hpp"

class QEventLoop;
class QWidget;
class QProgressDialog;

namespace tesvane::gui {

class MainWindow;
class ResultsWindow;

enum class FileDialogKind { Open, Save };

class QtPlatform : public Platform {
  public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Builds both windows (hidden); their buttons run actions on `ctx`, which must outlive
    // the windows' use. Call once, after a QApplication exists.
    void build_windows(AppContext& ctx);
    MainWindow& main_window() { return *main_; }
    ResultsWindow& results_window() { return *results_; }
    bool results_window_open() const { return results_open_; }
    // The platform the session's context works through: this one, with the user's steps
    // recorded for File > Save session.
    SessionRecorder& recorder() { return recorder_; }

    // Runs `fn` as the one current action, `what` naming it in the status bar. Refused (false)
    // while another action runs; actions never nest.
    bool run_exclusive(const std::string& what, const std::function<void()>& fn);
    bool busy() const { return busy_; }
    // The last action run_exclusive ran was cancelled by the user (Cancel of a progress).
    bool last_cancelled() const { return last_cancelled_; }
    // The next open-file dialogs of the coming action are answered with these files without
    // showing, as if picked there (a file dropped on a summary box, the template dialog's
    // rows); nothing stands for a cancel.
    void answer_open_dialogs(std::deque<std::optional<std::string>> answers) {
        open_answers_ = std::move(answers);
    }
    bool answers_file_dialogs() const { return static_cast<bool>(file_hook_); }
    // Ends the current wait (click, progress) as if the user had cancelled it.
    void abandon_waits();

    // Answers file dialogs without showing one, for tests; an empty function restores them.
    using FileDialogHook =
        std::function<std::optional<FileChoice>(FileDialogKind, const std::string& title)>;
    void set_file_dialog_hook(FileDialogHook hook) { file_hook_ = std::move(hook); }

    // The figure as shown, into a file whose type follows the extension (.svg .pdf .png .eps);
    // a name without one gets ".png". Errors go to a message box and the console.
    bool save_figure_to(const std::string& path);
    // Asks for a file name and saves the figure there.
    void save_figure_as();

    Control* find_control(const std::string& tag) override;
    std::optional<FileChoice> open_file_dialog(const std::string& title,
                                               const std::string& filter) override;
    std::optional<FileChoice> save_file_dialog(const std::string& title,
                                               const std::string& filter) override;
    void show_message(const std::string& text) override;
    std::optional<std::string> input_dialog(const std::string& title, const std::string& prompt,
                                            const std::string& default_answer) override;
    std::optional<Click> click_in_axes() override;
    void console(const std::string& line) override;
    void message(const std::string& text) override;
    fig::Figure& figure() override { return figure_; }
    void open_results_window() override;
    bool progress(double fraction, const std::string& what) override;
    void copy_figure_to_clipboard() override;
    void save_figure_file(const std::string& path, const std::string& format) override;

  private:
    std::optional<FileChoice> file_dialog(FileDialogKind kind, const std::string& title,
                                          const std::string& filter);
    void end_progress();

    fig::Figure figure_;
    AppContext* ctx_ = nullptr;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<ResultsWindow> results_;
    bool results_open_ = false;
    bool busy_ = false;
    bool cancel_requested_ = false;
    bool last_cancelled_ = false;
    std::deque<std::optional<std::string>> open_answers_;
    QEventLoop* click_loop_ = nullptr;
    QProgressDialog* progress_ = nullptr;
    QElapsedTimer progress_clock_;
    FileDialogHook file_hook_;
    SessionRecorder recorder_{*this};
};

}  // namespace tesvane::gui

namespace tesvane::gui {
// Moves (and if need be shrinks) a top-level window so that all of it lies on its screen.
void move_onto_screen(QWidget& window);
}  // namespace tesvane::gui
