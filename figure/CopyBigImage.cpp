#include "figure/CopyBigImage.hpp"

#include "figure/figure_units.hpp"

namespace tesvane {

void CopyBigImage(Platform& ui) {
    fig::Figure& f = ui.figure();
    fig::Axes& axes = f.axes();
    const fig::Limits l = axes.limits();
    const double rx = l[1] - l[0], ry = l[3] - l[2];
    const fig::Limits wide{l[0] - 0.03 * rx, l[1] + 0.03 * rx, l[2] - 0.03 * ry, l[3] + 0.03 * ry};
    const std::string window_units = f.units;
    const SavedAxes saved = enlarge_axes(f);
    axes.set_limits(wide);
    axes.set_equal(true);
    ui.copy_figure_to_clipboard();
    set_figure_units(f, window_units);
    restore_axes(f, saved);
    axes.set_auto_limits();
    axes.set_equal(true);
}

}  // namespace tesvane
