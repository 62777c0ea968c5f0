#include "platform/platform.hpp"

#include <filesystem>

#include "platform/error.hpp"
#include "platform/report_number.hpp"

namespace tesvane {

std::string FileChoice::path() const {
    return (std::filesystem::path(folder) / name).string();
}

void Platform::save_figure_file(const std::string&, const std::string&) {
    throw Error("figure export is not available");
}

void Platform::show_report(const std::string& report) {
    // Each report prints its undefined values as "not defined"; one that still holds "nan" or
    // "inf" has met a case no check foresaw, and is not shown as if it were a result.
    if (has_non_finite_word(report))
        throw Error(
            "the results hold a value that is not a number, so no report is shown (the data may "
            "have a block without variation)");
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
