// Recorded sessions: what the user does, written as a script that `tesvane script` replays, and
// such scripts replayed into a running session.
#pragma once

#include "platform/figure/figure_model.hpp"

#include <deque>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/script_runner.hpp"
#include "platform/app_context.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/platform.hpp"

namespace tesvane {

// A platform around the real one that notes every answer given to its dialogs. The steps the
// user takes go through run(), which writes each with the control values changed before it and
// the answers given during it. While a script is replayed, its answers stand in for the dialogs
// and no real dialog is shown. The context of the recorded steps must use this platform.
class SessionRecorder : public Platform {
  public:
    explicit SessionRecorder(Platform& inner) : inner_(inner) {}

    // Forgets what was recorded; the controls' present values are where the script starts.
    void restart();

    // Runs a registered function as one step of the user's and records it: Tesvanesw with an
    // action string as `action NAME`, anything else as `call`. False when the step failed.
    bool run(AppContext& ctx, const std::string& function, const Values& in = {});
    bool run_action(AppContext& ctx, const std::string& action) {
        return run(ctx, "Tesvanesw", {action});
    }

    // The session so far as the text of a script to be kept at `script_path`: paths under its
    // folder relative to it, others absolute. An Error when a text cannot be written as one word.
    std::string script(const std::string& script_path);
    // Writes script(script_path) there; an Error naming the file when it cannot be written.
    void save(const std::string& script_path);
    // A figure the user saved outside any step, as a `savefig` line with its export size and
    // resolution, so that a replay writes the same picture.
    void note_saved_figure(const std::string& path, const fig::ExportSize& size);
    // Steps were taken since the session was last saved (or restarted).
    bool unsaved() const { return lines_.size() > saved_lines_; }

    // Replays the script with `ctx` (whose platform must be this one), its steps recorded as the
    // user's. Returns as run_script does; failures are named on `err`, printed Strings go to
    // `out`. Answers the script left unused are dropped. An action the dispatcher does not know
    // counts as a failed line. Without `write_files` nothing is written: save dialogs are
    // answered as cancelled (the script's answer is still recorded) and the lines that write
    // files are skipped.
    int replay(AppContext& ctx, const std::string& script_path, std::ostream& out,
               std::ostream& err, const FigureSaver& save_figure, bool write_files = true);
    bool replaying() const { return replaying_; }

    Control* find_control(const std::string& tag) override { return inner_.find_control(tag); }
    std::optional<FileChoice> open_file_dialog(const std::string& title,
                                               const std::string& filter) override;
    std::optional<FileChoice> save_file_dialog(const std::string& title,
                                               const std::string& filter) override;
    void show_message(const std::string& text) override { inner_.show_message(text); }
    std::optional<std::string> input_dialog(const std::string& title, const std::string& prompt,
                                            const std::string& default_answer) override;
    std::optional<Click> click_in_axes() override;
    void console(const std::string& line) override { inner_.console(line); }
    void message(const std::string& text) override { inner_.message(text); }
    fig::Figure& figure() override { return inner_.figure(); }
    void open_results_window() override { inner_.open_results_window(); }
    bool progress(double fraction, const std::string& what) override {
        return inner_.progress(fraction, what);
    }
    void copy_figure_to_clipboard() override { inner_.copy_figure_to_clipboard(); }
    void save_figure_file(const std::string& path, const std::string& format) override {
        inner_.save_figure_file(path, format);
    }

  private:
    // One word of a script line; a path is made relative to the script's folder on writing.
    struct Word {
        std::string text;
        bool is_path = false;
    };
    using Line = std::vector<Word>;

    struct ControlState {
        std::string string;
        double value = 0;
        std::string enable;
    };

    // Set lines for the controls the user changed since the last look.
    void note_control_changes();
    std::map<std::string, ControlState> control_states();
    DialogAnswer next_answer(const std::string& what);
    std::optional<FileChoice> file_dialog(bool open, const std::string& title,
                                          const std::string& filter);
    void note_file(const std::optional<FileChoice>& choice);

    Platform& inner_;
    std::vector<Line> lines_;
    size_t saved_lines_ = 0;
    std::vector<Line> answers_;  // given during the current step
    std::map<std::string, ControlState> seen_;
    int depth_ = 0;
    bool replaying_ = false;
    bool writes_allowed_ = true;
    std::deque<DialogAnswer> queued_;
};

}  // namespace tesvane
