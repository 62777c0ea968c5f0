#include "web/browser_platform.hpp"

#include <filesystem>
#include <utility>

#include "app/controls.hpp"
#include "io/atomic_file.hpp"
#include "platform/error.hpp"
#include "platform/render/svg_canvas.hpp"

namespace tesvane {

BrowserPlatform::BrowserPlatform(ProgressSink sink) : sink_(std::move(sink)) {
    // The page shows both windows' controls, with the desktop's initial values.
    for (const ControlSpec& c : control_table())
        controls_[c.tag] = std::make_unique<MemoryControl>(c.initial_string, c.initial_value);
}

void BrowserPlatform::answer_files(std::vector<std::string> paths) {
    files_.assign(paths.begin(), paths.end());
}

BrowserPlatform::Events BrowserPlatform::take_events() {
    return std::exchange(events_, {});
}

Control* BrowserPlatform::find_control(const std::string& tag) {
    const auto it = controls_.find(tag);
    return it == controls_.end() ? nullptr : it->second.get();
}

std::optional<FileChoice> BrowserPlatform::file_dialog(const std::string& title) {
    if (files_.empty()) {
        events_.declined.push_back(title);
        return std::nullopt;
    }
    const std::filesystem::path p = std::filesystem::absolute(files_.front());
    files_.pop_front();
    return FileChoice{p.parent_path().string(), p.filename().string()};
}

std::optional<FileChoice> BrowserPlatform::open_file_dialog(const std::string& title,
                                                            const std::string&) {
    return file_dialog(title);
}

std::optional<FileChoice> BrowserPlatform::save_file_dialog(const std::string& title,
                                                            const std::string&) {
    return file_dialog(title);
}

void BrowserPlatform::show_message(const std::string& text) {
    events_.messages.push_back(text);
}

std::optional<std::string> BrowserPlatform::input_dialog(const std::string& title,
                                                         const std::string&, const std::string&) {
    events_.declined.push_back(title);
    return std::nullopt;
}

std::optional<Click> BrowserPlatform::click_in_axes() {
    events_.declined.push_back("a mouse click in the plot");
    return std::nullopt;
}

void BrowserPlatform::console(const std::string& line) {
    events_.console.push_back(line);
}

void BrowserPlatform::open_results_window() {
    // The page always shows the report; a closed results window comes back empty.
    if (!find_control("AuxResults"))
        controls_["AuxResults"] = std::make_unique<MemoryControl>("", 0);
}

bool BrowserPlatform::progress(double fraction, const std::string& what) {
    if (sink_)
        sink_(fraction, what);
    return true;
}

void BrowserPlatform::copy_figure_to_clipboard() {
    notice("The page has no clipboard for figures: download the figure instead.");
}

void BrowserPlatform::save_figure_file(const std::string& path, const std::string& format) {
    if (format != "svg")
        throw Error("The page writes figures as SVG and draws PNG from it; " + format +
                    " is for the desktop: " + path);
    write_file_atomically(path, figure_svg(figure_));
}

std::string figure_svg(const fig::Figure& f) {
    return render::figure_svg_text(f, f.export_size.width_pt, f.export_size.height_pt);
}

}  // namespace tesvane
