// Drawing a figure: one layout for every output (screen, PNG, SVG, PDF, EPS), drawn on any
// Canvas. The Qt outputs are in figure_export.hpp.
//
// Sizes in the figure model are points; a picture of width_pt x height_pt points is drawn at
// one device pixel per point on a plain screen, and at `scale` pixels per point into images.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/figure/figure_model.hpp"
#include "platform/render/canvas.hpp"

namespace tesvane::render {

// Where things go on a picture of a given size.
struct FigureLayout {
    Rect plot_box;                 // canvas points
    fig::Limits visible{};         // data range the box shows: the limits, padded when "equal"
    std::optional<Rect> colorbar;  // the colour bar's box, when a filled contour shows one
    bool frame = true;             // box, ticks and tick labels are drawn
    std::vector<std::string> caption_lines;  // the caption, wrapped to the picture's width
    double caption_top = 0;                  // canvas y of the caption's first line
    std::vector<Point> legend_at;            // where each legend entry's sample starts (middle)
    Point to_canvas(double x, double y) const {
        return {plot_box.x + (x - visible[0]) / (visible[1] - visible[0]) * plot_box.w,
                plot_box.bottom() - (y - visible[2]) / (visible[3] - visible[2]) * plot_box.h};
    }
};
FigureLayout layout_figure(const fig::Figure& f, double width_pt, double height_pt);

// Tick positions of a visible range [lo, hi]: the multiples of `step` inside it.
std::vector<double> tick_values(double lo, double hi, double step);
// A tick label: as few decimals as the step needs, no "-0", a typographic minus.
std::string tick_label(double value, double step);

void render_figure(const fig::Figure& f, Canvas& canvas, double width_pt, double height_pt);

}  // namespace tesvane::render
