#include "figure/figure_units.hpp"

#include "platform/error.hpp"

namespace tesvane {

namespace {

// Points per unit, across and up.
std::array<double, 2> unit_size(const std::string& units) {
    if (units == "pixels" || units == "points")
        return {1, 1};
    if (units == "characters")
        return {kCharacterWidth, kCharacterHeight};
    if (units == "inches")
        return {72, 72};
    if (units == "centimeters")
        return {72 / 2.54, 72 / 2.54};
    throw Error("Units \"" + units + "\" cannot be converted to a size in points");
}

}  // namespace

fig::Position convert_position(const fig::Position& p, const std::string& from,
                               const std::string& to) {
    const auto a = unit_size(from), b = unit_size(to);
    return {p[0] * a[0] / b[0], p[1] * a[1] / b[1], p[2] * a[0] / b[0], p[3] * a[1] / b[1]};
}

void set_figure_units(fig::Figure& f, const std::string& units) {
    f.position = convert_position(f.position, f.units, units);
    f.units = units;
    f.changed();
}

SavedAxes enlarge_axes(fig::Figure& f) {
    fig::Axes& axes = f.axes();
    SavedAxes saved{axes.position, axes.units};
    set_figure_units(f, "characters");
    const double width = f.position[2], height = f.position[3];
    axes.units = f.units;
    axes.position = {12, 3, width - 5, height - 4};
    f.changed();
    return saved;
}

void restore_axes(fig::Figure& f, const SavedAxes& saved) {
    f.axes().units = saved.units;
    f.axes().position = saved.position;
    f.changed();
}

}  // namespace tesvane
