#include "platform/platform.hpp"

#include <filesystem>

#include "platform/error.hpp"

namespace tesvane {

std::string FileChoice::path() const {
    return (std::filesystem::path(folder) / name).string();
}

void Platform::save_figure_file(const std::string&, const std::string&) {
    throw Error("figure export is not available");
}

void Platform::show_report(const std::string& report) {
    Control* box = find_control("AuxResults");
    if (!box) {
        open_results_window();
        box = &control("AuxResults");
    }
    box->set_string(report);
}

Control& Platform::control(const std::string& tag) {
    Control* c = find_control(tag);
    if (!c)
        throw Error("There is no control with the Tag " + tag);
    return *c;
}

}  // namespace tesvane
