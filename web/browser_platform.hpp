// The platform of the browser edition. The page collects what the dialogs would ask (the files
// of a load step, the settings typed into its fields) before it runs a step, and this platform
// answers the dialogs from that: a file dialog takes the next file the page gave for the step,
// and one the page gave none for is cancelled, as a user would cancel it. Mouse clicks and the
// rotation dialog are not offered in the page, so they are cancelled too. Message boxes and
// console lines are kept for the page; progress goes to it as it happens.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.hpp"
#include "platform/platform.hpp"

namespace tesvane {

class BrowserPlatform : public Platform {
  public:
    // `sink(fraction, what)` receives the progress of long steps. The page cancels a step by
    // stopping the worker the module runs in, so progress never asks to stop.
    using ProgressSink = std::function<void(double, const std::string&)>;
    explicit BrowserPlatform(ProgressSink sink = {});

    // What the page collected for the next step: the files its file dialogs are answered with,
    // in order. Files left over after the step are dropped by the next call.
    void answer_files(std::vector<std::string> paths);

    // What happened since the last call to take_events(), and then forgets it.
    struct Events {
        std::vector<std::string> messages;  // message boxes
        std::vector<std::string> console;   // diagnostic lines
        std::vector<std::string> declined;  // titles of dialogs the page gave no answer for
    };
    Events take_events();

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
    fig::Figure& figure() override { return figure_; }
    void open_results_window() override;
    bool progress(double fraction, const std::string& what) override;
    void copy_figure_to_clipboard() override;
    // Writes SVG; other formats are refused (the page draws PNG from the SVG itself).
    void save_figure_file(const std::string& path, const std::string& format) override;

  private:
    std::optional<FileChoice> file_dialog(const std::string& title);

    ProgressSink sink_;
    std::map<std::string, std::unique_ptr<MemoryControl>> controls_;
    std::deque<std::string> files_;
    Events events_;
    fig::Figure figure_;
};

// The figure as an SVG document of its export size, as the desktop saves it.
std::string figure_svg(const fig::Figure& f);

}  // namespace tesvane
