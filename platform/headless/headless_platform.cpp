#include "platform/headless/headless_platform.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>

#include "platform/error.hpp"

namespace tesvane {

void MemoryControl::set_enable(const std::string& e) {
    std::string lower = e;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    enable_ = lower;
}

void HeadlessPlatform::add_control(const std::string& tag, const std::string& string,
                                   double value) {
    controls_[tag] = std::make_unique<MemoryControl>(string, value);
}

void HeadlessPlatform::remove_control(const std::string& tag) {
    controls_.erase(tag);
}

Control* HeadlessPlatform::find_control(const std::string& tag) {
    auto it = controls_.find(tag);
    return it == controls_.end() ? nullptr : it->second.get();
}

DialogAnswer HeadlessPlatform::next_answer(const std::string& what) {
    if (answers_.empty())
        throw Error("No answer is queued for " + what);
    DialogAnswer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

std::optional<FileChoice> HeadlessPlatform::file_dialog(const std::string& title) {
    titles_.push_back(title);
    const DialogAnswer a = next_answer("the file dialog \"" + title + "\"");
    if (a.kind == DialogAnswer::Kind::Cancel)
        return std::nullopt;
    if (a.kind != DialogAnswer::Kind::File)
        throw Error("The answer queued for the file dialog \"" + title + "\" is not a file");
    const std::filesystem::path p = std::filesystem::absolute(a.text);
    return FileChoice{p.parent_path().string(), p.filename().string()};
}

std::optional<FileChoice> HeadlessPlatform::open_file_dialog(const std::string& title,
                                                             const std::string&) {
    return file_dialog(title);
}

std::optional<FileChoice> HeadlessPlatform::save_file_dialog(const std::string& title,
                                                             const std::string&) {
    return file_dialog(title);
}

void HeadlessPlatform::show_message(const std::string& text) {
    messages_.push_back(text);
    if (echo_)
        *echo_ << "[message] " << text << '\n';
}

std::optional<std::string> HeadlessPlatform::input_dialog(const std::string& title,
                                                          const std::string&, const std::string&) {
    titles_.push_back(title);
    const DialogAnswer a = next_answer("the input dialog \"" + title + "\"");
    if (a.kind == DialogAnswer::Kind::Cancel)
        return std::nullopt;
    if (a.kind != DialogAnswer::Kind::Text)
        throw Error("The answer queued for the input dialog \"" + title + "\" is not a text");
    return a.text;
}

std::optional<Click> HeadlessPlatform::click_in_axes() {
    const DialogAnswer a = next_answer("a mouse click in the plot");
    if (a.kind == DialogAnswer::Kind::Cancel)
        return std::nullopt;
    if (a.kind != DialogAnswer::Kind::Click)
        throw Error("The answer queued for a mouse click is not a click");
    return a.click;
}

void HeadlessPlatform::open_results_window() {
    ++results_opened_;
    // A closed results window comes back with an empty report.
    if (!find_control("AuxResults"))
        add_control("AuxResults", "", 0);
}

void HeadlessPlatform::console(const std::string& line) {
    console_.push_back(line);
    if (echo_)
        *echo_ << line << '\n';
}

void HeadlessPlatform::message(const std::string& text) {
    notes_.push_back(text);
    if (echo_)
        *echo_ << text << '\n';
}

void HeadlessPlatform::copy_figure_to_clipboard() {
    if (copier_)
        copier_(figure_);
}

void HeadlessPlatform::save_figure_file(const std::string& path, const std::string& format) {
    if (!writer_)
        Platform::save_figure_file(path, format);
    else
        writer_(figure_, path, format);
}

}  // namespace tesvane
