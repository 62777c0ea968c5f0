// A canvas that writes SVG text, without Qt: for headless exports, reports and the browser.
//
// Text stays text (a sans-serif font chosen by the viewer); its widths for the layout come from
// Helvetica's advance widths, which Arial, Liberation Sans and Nimbus Sans share.
#pragma once

#include <string>

#include "platform/render/canvas.hpp"

namespace tesvane::render {

class SvgCanvas : public Canvas {
  public:
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

    // The drawing so far (elements only); closes an open clip group.
    std::string body();

  private:
    std::string out_;
    int clips_ = 0;
    bool clip_open_ = false;
};

// The whole figure as a standalone SVG document of width_pt x height_pt points.
std::string figure_svg_text(const fig::Figure& f, double width_pt, double height_pt);

}  // namespace tesvane::render
