#include "platform/render/svg_canvas.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/cformat.hpp"
#include "platform/render/figure_renderer.hpp"

namespace tesvane::render {

namespace {

// Helvetica's advance widths of the printable ASCII characters, in thousandths of an em.
constexpr std::array<short, 95> kAdvance = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '-'/'
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // '0'-'?'
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // '@'-'O'
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // 'P'-'_'
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // '`'-'o'
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // 'p'-'~'
constexpr double kAscent = 0.905, kDescent = 0.212;  // of the font, in ems

// A coordinate to a thousandth of a point, without trailing zeros or "-0".
std::string trimmed(double v) {
    if (std::abs(v) < 5e-4)
        v = 0;
    std::string s = cformat("%.3f", v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string colour(fig::Rgb c) {
    auto byte = [](double x) {
        return static_cast<int>(std::lround(std::clamp(x, 0.0, 1.0) * 255));
    };
    return cformat("#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
}

std::string stroke(const Pen& pen) {
    std::string s = " fill=\"none\" stroke=\"" + colour(pen.color) + "\" stroke-width=\"" +
                    trimmed(pen.width) + "\" stroke-linejoin=\"round\"";
    s += pen.round_caps ? " stroke-linecap=\"round\"" : " stroke-linecap=\"butt\"";
    if (!pen.dash.empty()) {
        s += " stroke-dasharray=\"";
        for (std::size_t i = 0; i < pen.dash.size(); ++i)
            s += (i ? " " : "") + trimmed(pen.dash[i]);
        s += "\"";
    }
    return s;
}

std::string path_of(const std::vector<Point>& ring, bool closed) {
    std::string d;
    for (std::size_t i = 0; i < ring.size(); ++i)
        d += (i ? " L" : "M") + trimmed(ring[i].x) + " " + trimmed(ring[i].y);
    if (closed)
        d += " Z";
    return d;
}

// Text as XML character data: the five special characters escaped, bytes kept otherwise.
std::string escaped(const std::string& s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

void SvgCanvas::stroke_polyline(const std::vector<Point>& points, const Pen& pen, bool closed) {
    if (points.size() < 2)
        return;
    out_ += "<path d=\"" + path_of(points, closed) + "\"" + stroke(pen) + "/>\n";
}

void SvgCanvas::fill_polygon(const std::vector<std::vector<Point>>& rings, fig::Rgb color) {
    std::string d;
    for (const auto& ring : rings) {
        if (ring.size() >= 3)
            d += (d.empty() ? "" : " ") + path_of(ring, true);
    }
    if (!d.empty())
        out_ += "<path d=\"" + d + "\" fill=\"" + colour(color) + "\" fill-rule=\"evenodd\"/>\n";
}

void SvgCanvas::draw_circle(Point centre, double radius, const std::optional<fig::Rgb>& fill,
                            const std::optional<Pen>& edge) {
    out_ += "<circle cx=\"" + trimmed(centre.x) + "\" cy=\"" + trimmed(centre.y) + "\" r=\"" +
            trimmed(radius) + "\"";
    out_ += fill ? " fill=\"" + colour(*fill) + "\"" : std::string(" fill=\"none\"");
    if (edge)
        out_ += stroke(*edge).substr(std::string(" fill=\"none\"").size());
    out_ += "/>\n";
}

void SvgCanvas::draw_text(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                          HAlign h, VAlign v) {
    // The start of the baseline from our own metrics, so every viewer places it the same way.
    const Point o = aligned_origin(anchor, measure_text(utf8, size), h, v);
    out_ += "<text x=\"" + trimmed(o.x) + "\" y=\"" + trimmed(o.y) + "\" font-size=\"" +
            trimmed(size) + "\" fill=\"" + colour(color) + "\">" + escaped(utf8) + "</text>\n";
}

void SvgCanvas::draw_text_up(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                             HAlign h, VAlign v) {
    // Laid out as upright text at the origin, then turned about the anchor.
    const Point o = aligned_origin({0, 0}, measure_text(utf8, size), h, v);
    out_ += "<text transform=\"translate(" + trimmed(anchor.x) + " " + trimmed(anchor.y) +
            ") rotate(-90)\" x=\"" + trimmed(o.x) + "\" y=\"" + trimmed(o.y) + "\" font-size=\"" +
            trimmed(size) + "\" fill=\"" + colour(color) + "\">" + escaped(utf8) + "</text>\n";
}

TextMetrics SvgCanvas::measure_text(const std::string& utf8, double size) {
    double width = 0;
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127)
            width += kAdvance[u - 32];
        else if ((u & 0xC0) != 0x80 && u >= 0x80)
            width += 584;  // one code point beyond ASCII (the minus sign, Greek letters)
    }
    return {width * size / 1000, kAscent * size, kDescent * size};
}

void SvgCanvas::set_clip(const Rect& r) {
    reset_clip();
    const std::string id = cformat("clip%i", ++clips_);
    // In <defs>, so that viewers without clipping (SVG Tiny) do not draw the rectangle itself.
    out_ += "<defs><clipPath id=\"" + id + "\"><rect x=\"" + trimmed(r.x) + "\" y=\"" +
            trimmed(r.y) + "\" width=\"" + trimmed(r.w) + "\" height=\"" + trimmed(r.h) +
            "\"/></clipPath></defs>\n";
    out_ += "<g clip-path=\"url(#" + id + ")\">\n";
    clip_open_ = true;
}

void SvgCanvas::reset_clip() {
    if (clip_open_)
        out_ += "</g>\n";
    clip_open_ = false;
}

std::string SvgCanvas::body() {
    reset_clip();
    return out_;
}

std::string figure_svg_text(const fig::Figure& f, double width_pt, double height_pt) {
    SvgCanvas canvas;
    render_figure(f, canvas, width_pt, height_pt);
    const std::string w = trimmed(width_pt), h = trimmed(height_pt);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "pt\" height=\"" + h +
           "pt\" viewBox=\"0 0 " + w + " " + h +
           "\" font-family=\"Helvetica, Arial, 'Liberation Sans', 'Nimbus Sans', sans-serif\">\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" +
           canvas.body() + "</svg>\n";
}

}  // namespace tesvane::render
