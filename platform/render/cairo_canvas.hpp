// The canvas on a cairo context: vector PostScript for EPS files.
#pragma once

#include <cairo.h>

#include "platform/render/canvas.hpp"

namespace tesvane::render {

// Draws in points on `cr`, whose user space must be points from the top-left corner.
class CairoCanvas : public Canvas {
  public:
    explicit CairoCanvas(cairo_t* cr);

    void stroke_polyline(const std::vector<Point>& points, const Pen& pen, bool closed) override;
    void fill_polygon(const std::vector<std::vector<Point>>& rings, fig::Rgb color) override;
    void draw_circle(Point centre, double radius, const std::optional<fig::Rgb>& fill,
                     const std::optional<Pen>& edge) override;
    void draw_text(Point anchor, const std::string& utf8, double size, fig::Rgb color, HAlign h,
                   VAlign v) override;
    void draw_text_up(Point anchor, const std::string& utf8, double size, fig::Rgb color, HAlign h,
                      VAlign v) override;
    TextMetrics measure_text(const std::string& utf8, double size) override;
    void set_clip(const Rect& r) override;
    void reset_clip() override;

  private:
    void apply(const Pen& pen);
    cairo_t* cr_;
};

}  // namespace tesvane::render
