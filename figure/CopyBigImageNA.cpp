#include "figure/CopyBigImageNA.hpp"

#include "figure/figure_units.hpp"

namespace tesvane {

void CopyBigImageNA(Platform& ui) {
    fig::Figure& f = ui.figure();
    const SavedAxes saved = enlarge_axes(f);
    f.axes().set_auto_limits();
    ui.copy_figure_to_clipboard();
    restore_axes(f, saved);
    f.axes().set_auto_limits();
}

}  // namespace tesvane
