#include "platform/render/cairo_canvas.hpp"

#include <numbers>

namespace tesvane::render {

namespace {

void set_colour(cairo_t* cr, fig::Rgb c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void add_ring(cairo_t* cr, const std::vector<Point>& ring, bool closed) {
    cairo_move_to(cr, ring[0].x, ring[0].y);
    for (std::size_t i = 1; i < ring.size(); ++i)
        cairo_line_to(cr, ring[i].x, ring[i].y);
    if (closed)
        cairo_close_path(cr);
}

}  // namespace

CairoCanvas::CairoCanvas(cairo_t* cr) : cr_(cr) {
    cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
}

void CairoCanvas::apply(const Pen& pen) {
    set_colour(cr_, pen.color);
    cairo_set_line_width(cr_, pen.width);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr_, pen.round_caps ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_dash(cr_, pen.dash.data(), static_cast<int>(pen.dash.size()), 0);
}

void CairoCanvas::stroke_polyline(const std::vector<Point>& points, const Pen& pen, bool closed) {
    if (points.size() < 2)
        return;
    add_ring(cr_, points, closed);
    apply(pen);
    cairo_stroke(cr_);
}

void CairoCanvas::fill_polygon(const std::vector<std::vector<Point>>& rings, fig::Rgb color) {
    cairo_new_path(cr_);
    for (const auto& ring : rings) {
        if (ring.size() >= 3)
            add_ring(cr_, ring, true);
    }
    set_colour(cr_, color);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr_);
}

void CairoCanvas::draw_circle(Point centre, double radius, const std::optional<fig::Rgb>& fill,
                              const std::optional<Pen>& edge) {
    cairo_new_path(cr_);
    cairo_arc(cr_, centre.x, centre.y, radius, 0, 2 * std::numbers::pi);
    cairo_close_path(cr_);
    if (fill) {
        set_colour(cr_, *fill);
        cairo_fill_preserve(cr_);
    }
    if (edge) {
        apply(*edge);
        cairo_stroke_preserve(cr_);
    }
    cairo_new_path(cr_);
}

void CairoCanvas::draw_text(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                            HAlign h, VAlign v) {
    const Point o = aligned_origin(anchor, measure_text(utf8, size), h, v);
    cairo_set_font_size(cr_, size);
    set_colour(cr_, color);
    cairo_move_to(cr_, o.x, o.y);
    cairo_show_text(cr_, utf8.c_str());  // kept as text: PostScript gets a font and glyphs
    cairo_new_path(cr_);
}

void CairoCanvas::draw_text_up(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                               HAlign h, VAlign v) {
    cairo_save(cr_);
    cairo_translate(cr_, anchor.x, anchor.y);
    cairo_rotate(cr_, -std::numbers::pi / 2);
    draw_text({0, 0}, utf8, size, color, h, v);
    cairo_restore(cr_);
}

TextMetrics CairoCanvas::measure_text(const std::string& utf8, double size) {
    cairo_set_font_size(cr_, size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr_, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr_, utf8.c_str(), &te);
    return {te.x_advance, fe.ascent, fe.descent};
}

void CairoCanvas::set_clip(const Rect& r) {
    cairo_reset_clip(cr_);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    cairo_clip(cr_);
}

void CairoCanvas::reset_clip() {
    cairo_reset_clip(cr_);
}

}  // namespace tesvane::render
