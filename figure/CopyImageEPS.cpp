#include "figure/CopyImageEPS.hpp"

#include <filesystem>

#include "figure/figure_units.hpp"

namespace tesvane {

void CopyImageEPS(Platform& ui) {
    fig::Figure& f = ui.figure();
    const SavedAxes saved = enlarge_axes(f);
    f.axes().set_auto_limits();
    f.axes().set_equal(true);
    const auto choice = ui.save_file_dialog("Enter File Name for EPS file (end with .EPS)", "*.*");
    if (choice) {
        ui.save_figure_file(choice->path(), "eps");
        std::filesystem::current_path(choice->folder);
    }
    restore_axes(f, saved);
}

}  // namespace tesvane
