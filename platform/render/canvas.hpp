// The drawing surface the figure layout paints on. Coordinates are points (1/72 inch) from the
// top-left corner of the picture, y growing downwards; each backend maps them to its device.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/figure/figure_model.hpp"

namespace tesvane::render {

struct Point {
    double x = 0, y = 0;
};

struct Rect {
    double x = 0, y = 0, w = 0, h = 0;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
    bool contains(Point p) const {
        return p.x >= x && p.x <= right() && p.y >= y && p.y <= bottom();
    }
};

struct Pen {
    fig::Rgb color;
    double width = 0.5;        // points
    std::vector<double> dash;  // on/off lengths in points; empty: solid
    bool round_caps = true;    // solid lines: keeps very short segments (arrow barbs) visible
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Baseline, Bottom };

struct TextMetrics {
    double width = 0;    // advance of the whole text
    double ascent = 0;   // of the font, above the baseline
    double descent = 0;  // of the font, below the baseline (positive)
};

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual void stroke_polyline(const std::vector<Point>& points, const Pen& pen,
                                 bool closed = false) = 0;
    // Fills the rings together with the even-odd rule, so inner rings make holes.
    virtual void fill_polygon(const std::vector<std::vector<Point>>& rings, fig::Rgb color) = 0;
    virtual void draw_circle(Point centre, double radius, const std::optional<fig::Rgb>& fill,
                             const std::optional<Pen>& edge) = 0;
    // Text in the default sans-serif face; size in points, anchor aligned as asked.
    virtual void draw_text(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                           HAlign h, VAlign v) = 0;
    // As draw_text, turned a quarter turn counter-clockwise about the anchor: the text reads
    // upwards, and the alignments apply along and across the turned text.
    virtual void draw_text_up(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                              HAlign h, VAlign v) = 0;
    virtual TextMetrics measure_text(const std::string& utf8, double size) = 0;
    virtual void set_clip(const Rect& r) = 0;
    virtual void reset_clip() = 0;
};

// Where a text's baseline starts so that it sits at `anchor` with the given alignment.
inline Point aligned_origin(Point anchor, const TextMetrics& m, HAlign h, VAlign v) {
    Point o = anchor;
    if (h == HAlign::Center)
        o.x -= m.width / 2;
    if (h == HAlign::Right)
        o.x -= m.width;
    if (v == VAlign::Top)
        o.y += m.ascent;
    if (v == VAlign::Middle)
        o.y += (m.ascent - m.descent) / 2;
    if (v == VAlign::Bottom)
        o.y -= m.descent;
    return o;
}

}  // namespace tesvane::render
