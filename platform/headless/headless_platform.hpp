// The platform without windows: controls held in memory, dialogs answered from a queue,
// message boxes and console lines recorded (and echoed to a stream), figures kept in the
// object model. Scripts and tests drive the program through it.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.hpp"

namespace tesvane {

// One queued answer to the next dialog or click the program asks for.
struct DialogAnswer {
    enum class Kind { File, Cancel, Text, Click };
    Kind kind = Kind::Cancel;
    std::string text;  // the path of a File answer, the text of a Text answer
    Click click;
    static DialogAnswer file(std::string path) { return {Kind::File, std::move(path), {}}; }
    static DialogAnswer cancel() { return {Kind::Cancel, {}, {}}; }
    static DialogAnswer input(std::string t) { return {Kind::Text, std::move(t), {}}; }
    static DialogAnswer mouse(Click c) { return {Kind::Click, {}, c}; }
};

class MemoryControl : public Control {
  public:
    MemoryControl(std::string s, double v) : string_(std::move(s)), value_(v) {}
    std::string string() const override { return string_; }
    void set_string(const std::string& s) override { string_ = s; }
    double value() const override { return value_; }
    void set_value(double v) override { value_ = v; }
    std::string enable() const override { return enable_; }
    void set_enable(const std::string& e) override;

  private:
    std::string string_;
    double value_;
    std::string enable_ = "on";
};

class HeadlessPlatform : public Platform {
  public:
    // `echo` receives message boxes and console lines as they happen (nullptr: silent).
    explicit HeadlessPlatform(std::ostream* echo = nullptr) : echo_(echo) {}

    void add_control(const std::string& tag, const std::string& string, double value);
    void remove_control(const std::string& tag);  // as if its window were closed
    void queue(DialogAnswer a) { answers_.push_back(std::move(a)); }
    size_t queued() const { return answers_.size(); }

    const std::vector<std::string>& messages() const { return messages_; }
    // The messages given without a box, in order.
    const std::vector<std::string>& notes() const { return notes_; }
    const std::vector<std::string>& console_lines() const { return console_; }
    // Titles of the dialogs shown so far, in order.
    const std::vector<std::string>& dialog_titles() const { return titles_; }
    int results_window_opened() const { return results_opened_; }

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
    bool progress(double, const std::string&) override { return true; }
    void copy_figure_to_clipboard() override;
    void save_figure_file(const std::string& path, const std::string& format) override;

    // What copying and saving the figure do here: the program's main and tests set them (this
    // library cannot draw). Without a copier the clipboard is left alone; without a writer
    // saving is the Platform default, an Error.
    using FigureCopier = std::function<void(const fig::Figure&)>;
    using FigureWriter =
        std::function<void(const fig::Figure&, const std::string& path, const std::string& format)>;
    void on_copy_figure(FigureCopier f) { copier_ = std::move(f); }
    void on_save_figure_file(FigureWriter f) { writer_ = std::move(f); }

  private:
    DialogAnswer next_answer(const std::string& what);
    std::optional<FileChoice> file_dialog(const std::string& title);

    std::ostream* echo_;
    std::map<std::string, std::unique_ptr<MemoryControl>> controls_;
    std::deque<DialogAnswer> answers_;
    std::vector<std::string> messages_, console_, titles_, notes_;
    fig::Figure figure_;
    int results_opened_ = 0;
    FigureCopier copier_;
    FigureWriter writer_;
};

}  // namespace tesvane
