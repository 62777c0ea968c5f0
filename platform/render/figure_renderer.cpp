#include "platform/render/figure_renderer.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "platform/cformat.hpp"

namespace tesvane::render {

namespace {

constexpr double kFontSize = fig::kFigureFontSize;    // ticks, titles, legend, colour bar
constexpr double kAxisWidth = fig::kFigureLineWidth;  // box and ticks
constexpr double kTickLength = 3;                     // inward
constexpr double kLabelGap = 3;                       // between the box and its tick labels
constexpr double kTitleGap = 3;                       // tick labels to an axis title
constexpr double kSampleWidth = 14;                   // a legend entry's line sample
constexpr double kLegendGap = 3;                      // sample to its text
constexpr double kLegendSpacing = 9;                  // between legend entries
constexpr double kLineHeight = 1.17;                  // of a sans face: ascent plus descent, in em
constexpr double kPageMargin = 2;                     // kept clear around the picture's edge
constexpr double kBarGap = 10;                        // plot box to colour bar
constexpr double kBarWidth = 12;                      // colour bar
constexpr double kBarLabelGap = 4;                    // colour bar to its level labels
// A character of a 10-point sans face, for positions given in "characters".
constexpr double kCharWidth = 6, kCharHeight = 12;

const fig::Rgb kBlack{0, 0, 0};
const fig::Rgb kWhite{1, 1, 1};

const fig::FilledContour* colorbar_source(const fig::Axes& axes) {
    const fig::FilledContour* found = nullptr;
    for (const auto& o : axes.drawing_order()) {
        const auto* c = dynamic_cast<const fig::FilledContour*>(o.get());
        if (c && c->show_colorbar && !c->bands.empty())
            found = c;  // the newest wins
    }
    return found;
}

// The colour bar's value range: the outer levels, else the finite band edges.
std::array<double, 2> colorbar_range(const fig::FilledContour& c) {
    double lo = INFINITY, hi = -INFINITY;
    for (double v : c.levels) {
        if (std::isfinite(v))
            lo = std::min(lo, v), hi = std::max(hi, v);
    }
    if (!(lo < hi)) {
        for (const auto& b : c.bands) {
            for (double v : {b.lower, b.upper}) {
                if (std::isfinite(v))
                    lo = std::min(lo, v), hi = std::max(hi, v);
            }
        }
    }
    if (!(lo < hi)) {
        const double mid = std::isfinite(lo) ? lo : 0;
        return {mid - 1, mid + 1};
    }
    return {lo, hi};
}

// The colour bar's scale: its range, the levels inside it and their labels.
struct BarLabels {
    double lo = 0, hi = 1, step = 1;
    std::vector<double> levels;
    std::vector<std::string> text;
};

BarLabels colorbar_labels(const fig::FilledContour& c) {
    BarLabels out;
    const auto range = colorbar_range(c);
    out.lo = range[0];
    out.hi = range[1];
    for (double v : c.levels) {
        if (v >= out.lo && v <= out.hi)
            out.levels.push_back(v);
    }
    if (out.levels.empty())
        out.levels = {out.lo, out.hi};
    std::sort(out.levels.begin(), out.levels.end());
    out.step = out.hi - out.lo;  // the finest level spacing decides the labels' decimals
    for (std::size_t i = 1; i < out.levels.size(); ++i) {
        const double d = out.levels[i] - out.levels[i - 1];
        if (d > 0)
            out.step = std::min(out.step, d);
    }
    for (double v : out.levels)
        out.text.push_back(tick_label(v, out.step));
    return out;
}

// Points per unit of a window or axes position; 0 for units without a size ("normalized").
std::array<double, 2> points_per_unit(const std::string& units) {
    if (units == "pixels" || units == "points")
        return {1, 1};
    if (units == "characters")
        return {kCharWidth, kCharHeight};
    if (units == "inches")
        return {72, 72};
    if (units == "centimeters")
        return {72 / 2.54, 72 / 2.54};
    return {0, 0};
}

// The plot box on a picture of width x height points. A position in absolute units is taken
// as a share of the window's own size, so that a picture drawn at another size (an export)
// keeps the window's proportions.
Rect axes_box(const fig::Figure& f, double width, double height) {
    const fig::Axes& axes = f.axes();
    const auto& p = axes.position;
    double sx = width, sy = height;  // normalized
    const auto unit = points_per_unit(axes.units);
    if (unit[0] > 0) {
        sx = unit[0];
        sy = unit[1];
        const auto window = points_per_unit(f.units);
        const double ww = f.position[2] * window[0], wh = f.position[3] * window[1];
        if (ww > 0 && wh > 0 && std::isfinite(ww) && std::isfinite(wh)) {
            sx *= width / ww;
            sy *= height / wh;
        }
    }
    // Positions count from the bottom-left; the canvas from the top-left.
    return {p[0] * sx, height - (p[1] + p[3]) * sy, p[2] * sx, p[3] * sy};
}

// Liang-Barsky: clips the segment a-b to r; false when nothing is left.
bool clip_segment(Point& a, Point& b, const Rect& r, bool& start_cut, bool& end_cut) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.x, r.right() - a.x, a.y - r.y, r.bottom() - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    start_cut = t0 > 0;
    end_cut = t1 < 1;
    const Point a0 = a;
    if (start_cut)
        a = {a0.x + t0 * dx, a0.y + t0 * dy};
    if (end_cut)
        b = {a0.x + t1 * dx, a0.y + t1 * dy};
    return true;
}

// The parts of a polyline inside r, as separate runs.
std::vector<std::vector<Point>> clip_polyline(const std::vector<Point>& pts, const Rect& r) {
    std::vector<std::vector<Point>> runs;
    std::vector<Point> run;
    auto flush = [&] {
        if (run.size() >= 2)
            runs.push_back(std::move(run));
        run.clear();
    };
    for (std::size_t i = 1; i < pts.size(); ++i) {
        Point a = pts[i - 1], b = pts[i];
        bool start_cut = false, end_cut = false;
        if (!clip_segment(a, b, r, start_cut, end_cut)) {
            flush();
            continue;
        }
        if (start_cut || run.empty()) {
            flush();
            run.push_back(a);
        }
        run.push_back(b);
        if (end_cut)
            flush();
    }
    flush();
    return runs;
}

// Sutherland-Hodgman against the four sides of r.
std::vector<Point> clip_ring(std::vector<Point> ring, const Rect& r) {
    auto side = [&ring](auto inside, auto cross) {
        std::vector<Point> out;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const Point& cur = ring[i];
            const Point& prev = ring[(i + ring.size() - 1) % ring.size()];
            const bool in_cur = inside(cur), in_prev = inside(prev);
            if (in_cur != in_prev)
                out.push_back(cross(prev, cur));
            if (in_cur)
                out.push_back(cur);
        }
        ring = std::move(out);
    };
    auto at_x = [](Point a, Point b, double x) {
        return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
    };
    auto at_y = [](Point a, Point b, double y) {
        return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    };
    const double x0 = r.x, x1 = r.right(), y0 = r.y, y1 = r.bottom();
    side([&](Point p) { return p.x >= x0; }, [&](Point a, Point b) { return at_x(a, b, x0); });
    side([&](Point p) { return p.x <= x1; }, [&](Point a, Point b) { return at_x(a, b, x1); });
    side([&](Point p) { return p.y >= y0; }, [&](Point a, Point b) { return at_y(a, b, y0); });
    side([&](Point p) { return p.y <= y1; }, [&](Point a, Point b) { return at_y(a, b, y1); });
    return ring;
}

Pen line_pen(const fig::Line& line) {
    Pen pen;
    pen.color = line.color;
    pen.width = std::max(line.line_width, 0.1);
    // Dash lengths grow with thick lines so the pattern stays recognisable.
    const double u = std::max(1.0, pen.width);
    if (line.line_style == "--") {
        pen.dash = {6 * u, 3.5 * u};
    } else if (line.line_style == ":") {
        pen.dash = {1 * u, 2 * u};
    } else if (line.line_style == "-.") {
        pen.dash = {6 * u, 2.5 * u, 1 * u, 2.5 * u};
    }
    pen.round_caps = pen.dash.empty();
    return pen;
}

std::optional<fig::Rgb> resolve(const fig::ColorSpec& colour, const fig::Rgb& own) {
    switch (colour.kind) {
        case fig::ColorSpec::Kind::None:
            return std::nullopt;
        case fig::ColorSpec::Kind::Auto:
            return own;
        case fig::ColorSpec::Kind::Color:
            return colour.rgb;
    }
    return std::nullopt;
}

// A regular star or polygon around c: `points` outer vertices at radius r, alternating with
// inner ones at radius ri when ri > 0; the first vertex at angle a0 (canvas, y down).
std::vector<Point> star(Point c, int points, double r, double ri, double a0) {
    std::vector<Point> v;
    const int n = ri > 0 ? 2 * points : points;
    for (int i = 0; i < n; ++i) {
        const double a = a0 + 2 * std::numbers::pi * i / n;
        const double rr = (ri > 0 && i % 2 == 1) ? ri : r;
        v.push_back({c.x + rr * std::cos(a), c.y + rr * std::sin(a)});
    }
    return v;
}

void draw_marker(Canvas& canvas, Point c, const std::string& marker, double size,
                 const std::optional<fig::Rgb>& face, const std::optional<Pen>& edge) {
    const double h = size / 2;
    const double up = -std::numbers::pi / 2;
    auto shape = [&](const std::vector<Point>& v) {
        if (face)
            canvas.fill_polygon({v}, *face);
        if (edge)
            canvas.stroke_polyline(v, *edge, true);
    };
    auto strokes = [&](std::initializer_list<std::array<Point, 2>> segs) {
        if (!edge)
            return;
        for (const auto& s : segs)
            canvas.stroke_polyline({s[0], s[1]}, *edge);
    };
    const double d = 0.35 * size;
    if (marker == "o") {
        canvas.draw_circle(c, h, face, edge);
    } else if (marker == ".") {
        // A dot is always solid, in the edge colour (the face when the edge is off), a third
        // of the marker size across but never so small that it vanishes from print.
        const auto colour = edge ? std::optional<fig::Rgb>(edge->color) : face;
        if (colour)
            canvas.draw_circle(c, std::max(size / 6, 0.75), colour, std::nullopt);
    } else if (marker == "+") {
        strokes({{{{c.x - h, c.y}, {c.x + h, c.y}}}, {{{c.x, c.y - h}, {c.x, c.y + h}}}});
    } else if (marker == "x") {
        strokes({{{{c.x - d, c.y - d}, {c.x + d, c.y + d}}},
                 {{{c.x - d, c.y + d}, {c.x + d, c.y - d}}}});
    } else if (marker == "*") {
        strokes({{{{c.x - h, c.y}, {c.x + h, c.y}}},
                 {{{c.x, c.y - h}, {c.x, c.y + h}}},
                 {{{c.x - d, c.y - d}, {c.x + d, c.y + d}}},
                 {{{c.x - d, c.y + d}, {c.x + d, c.y - d}}}});
    } else if (marker == "s") {
        const double s = 0.45 * size;
        shape({{c.x - s, c.y - s}, {c.x + s, c.y - s}, {c.x + s, c.y + s}, {c.x - s, c.y + s}});
    } else if (marker == "d") {
        shape(star(c, 4, 0.55 * size, 0, up));
    } else if (marker == "^") {
        shape(star(c, 3, h, 0, up));
    } else if (marker == "v") {
        shape(star(c, 3, h, 0, -up));
    } else if (marker == ">") {
        shape(star(c, 3, h, 0, 0));
    } else if (marker == "<") {
        shape(star(c, 3, h, 0, std::numbers::pi));
    } else if (marker == "p") {
        shape(star(c, 5, 0.6 * size, 0.6 * size * 0.382, up));
    } else if (marker == "h") {
        shape(star(c, 6, 0.55 * size, 0.55 * size / std::sqrt(3.0), up));
    }
}

void draw_contour(Canvas& canvas, const FigureLayout& lay, const fig::FilledContour& c) {
    for (const auto& band : c.bands) {
        std::vector<std::vector<Point>> rings;
        for (const auto& ring : band.rings) {
            std::vector<Point> mapped;
            mapped.reserve(ring.size());
            for (const auto& p : ring) {
                if (std::isfinite(p[0]) && std::isfinite(p[1])) {
                    mapped.push_back(lay.to_canvas(p[0], p[1]));
                }
            }
            mapped = clip_ring(std::move(mapped), lay.plot_box);
            if (mapped.size() >= 3)
                rings.push_back(std::move(mapped));
        }
        if (rings.empty())
            continue;
        canvas.fill_polygon(rings, band.color);
        // A hairline in the band's own colour hides anti-aliasing seams between bands.
        Pen seam{band.color, kAxisWidth, {}, true};
        for (const auto& ring : rings)
            canvas.stroke_polyline(ring, seam, true);
    }
}

void draw_line(Canvas& canvas, const FigureLayout& lay, const fig::Line& line) {
    const std::size_t n = std::min(line.x.size(), line.y.size());
    std::vector<Point> mapped(n);
    std::vector<bool> ok(n);
    for (std::size_t i = 0; i < n; ++i) {
        mapped[i] = lay.to_canvas(line.x[i], line.y[i]);
        ok[i] = std::isfinite(mapped[i].x) && std::isfinite(mapped[i].y);
    }
    if (line.line_style != "none") {
        const Pen pen = line_pen(line);
        std::vector<Point> run;
        auto flush = [&] {
            for (const auto& part : clip_polyline(run, lay.plot_box)) {
                canvas.stroke_polyline(part, pen);
            }
            run.clear();
        };
        canvas.set_clip(lay.plot_box);
        for (std::size_t i = 0; i < n; ++i) {
            if (ok[i]) {
                run.push_back(mapped[i]);
            } else {
                flush();  // a not-a-number point breaks the line
            }
        }
        flush();
        canvas.reset_clip();
    }
    if (line.marker != "none" && line.marker_size > 0) {
        const auto face = resolve(line.marker_face, line.color);
        std::optional<Pen> edge;
        if (const auto e = resolve(line.marker_edge, line.color)) {
            edge = Pen{*e, std::max(line.line_width, 0.1), {}, true};
        }
        // Markers are whole or absent: one whose centre lies in the box is drawn entirely.
        Rect box = lay.plot_box;
        const double slack = 1e-6 * std::max(box.w, box.h);
        box = {box.x - slack, box.y - slack, box.w + 2 * slack, box.h + 2 * slack};
        for (std::size_t i = 0; i < n; ++i) {
            if (ok[i] && box.contains(mapped[i])) {
                draw_marker(canvas, mapped[i], line.marker, line.marker_size, face, edge);
            }
        }
    }
}

double next_step(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double m = step / power;
    if (m < 1.5)
        return 2 * power;
    if (m < 3.5)
        return 5 * power;
    return 10 * power;
}

// The tick step for a range, coarsened until neighbouring labels keep clear of each other.
double fitting_step(Canvas& canvas, double lo, double hi, double length_pt, bool horizontal) {
    double step = fig::nice_step(hi - lo);
    for (int guard = 0; guard < 12; ++guard) {
        const auto ticks = tick_values(lo, hi, step);
        double need = 0;
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            if (horizontal) {
                const double w0 =
                    canvas.measure_text(tick_label(ticks[i - 1], step), kFontSize).width;
                const double w1 = canvas.measure_text(tick_label(ticks[i], step), kFontSize).width;
                need = std::max(need, (w0 + w1) / 2 + 6);
            } else {
                const auto m = canvas.measure_text("0", kFontSize);
                need = std::max(need, m.ascent + m.descent + 2);
            }
        }
        const double spacing = step / (hi - lo) * length_pt;
        if (ticks.size() < 2 || spacing >= need)
            break;
        step = next_step(step);
    }
    return step;
}

void draw_axes_box(Canvas& canvas, const FigureLayout& lay, const fig::Axes& axes) {
    const Rect& b = lay.plot_box;
    const Pen pen{kBlack, kAxisWidth, {}, false};
    const double xlo = lay.visible[0], xhi = lay.visible[1];
    const double ylo = lay.visible[2], yhi = lay.visible[3];

    auto x_tick = [&](double v, const std::string& label) {
        const double x = lay.to_canvas(v, ylo).x;
        if (!(x >= b.x - 1e-6 && x <= b.right() + 1e-6))
            return;
        canvas.stroke_polyline({{x, b.bottom()}, {x, b.bottom() - kTickLength}}, pen);
        canvas.stroke_polyline({{x, b.y}, {x, b.y + kTickLength}}, pen);
        canvas.draw_text({x, b.bottom() + kLabelGap}, label, kFontSize, kBlack, HAlign::Center,
                         VAlign::Top);
    };
    if (axes.xticks.values.empty()) {
        const double xstep = fitting_step(canvas, xlo, xhi, b.w, true);
        for (double v : tick_values(xlo, xhi, xstep))
            x_tick(v, tick_label(v, xstep));
    } else {
        for (std::size_t i = 0; i < axes.xticks.values.size(); ++i) {
            const auto& l = axes.xticks.labels;
            x_tick(axes.xticks.values[i], i < l.size() ? l[i] : std::string());
        }
    }
    auto y_tick = [&](double v, const std::string& label) {
        const double y = lay.to_canvas(xlo, v).y;
        if (!(y >= b.y - 1e-6 && y <= b.bottom() + 1e-6))
            return;
        canvas.stroke_polyline({{b.x, y}, {b.x + kTickLength, y}}, pen);
        canvas.stroke_polyline({{b.right(), y}, {b.right() - kTickLength, y}}, pen);
        canvas.draw_text({b.x - kLabelGap - 1, y}, label, kFontSize, kBlack, HAlign::Right,
                         VAlign::Middle);
    };
    if (axes.yticks.values.empty()) {
        const double ystep = fitting_step(canvas, ylo, yhi, b.h, false);
        for (double v : tick_values(ylo, yhi, ystep))
            y_tick(v, tick_label(v, ystep));
    } else {
        for (std::size_t i = 0; i < axes.yticks.values.size(); ++i) {
            const auto& l = axes.yticks.labels;
            y_tick(axes.yticks.values[i], i < l.size() ? l[i] : std::string());
        }
    }
    canvas.stroke_polyline(
        {{b.x, b.y}, {b.right(), b.y}, {b.right(), b.bottom()}, {b.x, b.bottom()}}, pen, true);
}

// The axis titles: x centred under the tick labels, y turned, left of them.
void draw_titles(Canvas& canvas, const FigureLayout& lay, const fig::Axes& axes) {
    const Rect& b = lay.plot_box;
    const double line = kFontSize * kLineHeight;
    if (!axes.xlabel.empty()) {
        const double y = b.bottom() + (lay.frame ? kLabelGap + line : 0) + kTitleGap;
        canvas.draw_text({b.x + b.w / 2, y}, axes.xlabel, kFontSize, kBlack, HAlign::Center,
                         VAlign::Top);
    }
    if (!axes.ylabel.empty()) {
        double widest = 0;
        if (lay.frame && axes.yticks.values.empty()) {
            const double step = fitting_step(canvas, lay.visible[2], lay.visible[3], b.h, false);
            for (double v : tick_values(lay.visible[2], lay.visible[3], step))
                widest =
                    std::max(widest, canvas.measure_text(tick_label(v, step), kFontSize).width);
        } else if (lay.frame) {
            for (const auto& l : axes.yticks.labels)
                widest = std::max(widest, canvas.measure_text(l, kFontSize).width);
        }
        const double x = b.x - (lay.frame ? widest + kLabelGap + 1 : 0) - kTitleGap;
        canvas.draw_text_up({std::max(x, line), b.y + b.h / 2}, axes.ylabel, kFontSize, kBlack,
                            HAlign::Center, VAlign::Bottom);
    }
}

void draw_legend(Canvas& canvas, const FigureLayout& lay, const fig::Axes& axes) {
    for (std::size_t i = 0; i < axes.legend.size() && i < lay.legend_at.size(); ++i) {
        const fig::LegendEntry& e = axes.legend[i];
        const Point at = lay.legend_at[i];
        if (e.line_style != "none") {
            fig::Line sample(0);
            sample.color = e.color;
            sample.line_style = e.line_style;
            sample.line_width = 1;
            canvas.stroke_polyline({at, {at.x + kSampleWidth, at.y}}, line_pen(sample));
        }
        if (e.marker != "none") {
            const Pen edge{e.color, kAxisWidth * 2, {}, true};
            draw_marker(canvas, {at.x + kSampleWidth / 2, at.y}, e.marker, 6,
                        e.filled ? std::optional<fig::Rgb>(e.color) : std::nullopt, edge);
        }
        canvas.draw_text({at.x + kSampleWidth + kLegendGap, at.y}, e.label, kFontSize, kBlack,
                         HAlign::Left, VAlign::Middle);
    }
}

void draw_caption(Canvas& canvas, const FigureLayout& lay) {
    double y = lay.caption_top;
    for (const auto& l : lay.caption_lines) {
        canvas.draw_text({kPageMargin, y}, l, fig::kCaptionFontSize, kBlack, HAlign::Left,
                         VAlign::Top);
        y += fig::kCaptionFontSize * kLineHeight;
    }
}

// Text with a white outline: eight white copies around it, then the text itself.
void draw_haloed_text(Canvas& canvas, Point p, const fig::Text& t) {
    const double d = std::max(0.6, 0.1 * t.font_size);
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        canvas.draw_text({p.x + d * std::cos(a), p.y + d * std::sin(a)}, t.string, t.font_size,
                         kWhite, HAlign::Left, VAlign::Middle);
    }
    canvas.draw_text(p, t.string, t.font_size, t.color, HAlign::Left, VAlign::Middle);
}

void draw_colorbar(Canvas& canvas, const Rect& bar, const fig::FilledContour& c) {
    const BarLabels labels = colorbar_labels(c);
    const double lo = labels.lo, hi = labels.hi;
    auto y_of = [&](double v) { return bar.bottom() - (v - lo) / (hi - lo) * bar.h; };
    for (const auto& band : c.bands) {
        const double a = std::max(band.lower, lo), b = std::min(band.upper, hi);
        if (!(a < b))
            continue;
        const std::vector<Point> r{
            {bar.x, y_of(b)}, {bar.right(), y_of(b)}, {bar.right(), y_of(a)}, {bar.x, y_of(a)}};
        canvas.fill_polygon({r}, band.color);
        canvas.stroke_polyline(r, Pen{band.color, kAxisWidth, {}, true}, true);
    }
    // Label every level when there is room, else every second, third, ... one.
    const auto m = canvas.measure_text("0", kFontSize);
    const double need = m.ascent + m.descent + 1;
    const std::size_t n = labels.levels.size();
    std::size_t every = 1;
    while (every < n && labels.step * static_cast<double>(every) / (hi - lo) * bar.h < need) {
        ++every;
    }
    const Pen pen{kBlack, kAxisWidth, {}, false};
    for (std::size_t i = 0; i < n; ++i) {
        const double y = y_of(labels.levels[i]);
        canvas.stroke_polyline({{bar.x, y}, {bar.x + 3, y}}, pen);
        canvas.stroke_polyline({{bar.right(), y}, {bar.right() - 3, y}}, pen);
        if (i % every == 0) {
            canvas.draw_text({bar.right() + kBarLabelGap, y}, labels.text[i], kFontSize, kBlack,
                             HAlign::Left, VAlign::Middle);
        }
    }
    canvas.stroke_polyline(
        {{bar.x, bar.y}, {bar.right(), bar.y}, {bar.right(), bar.bottom()}, {bar.x, bar.bottom()}},
        pen, true);
    if (!c.label.empty()) {
        double widest = 0;
        for (const auto& t : labels.text)
            widest = std::max(widest, canvas.measure_text(t, kFontSize).width);
        canvas.draw_text_up({bar.right() + kBarLabelGap + widest + kTitleGap, bar.y + bar.h / 2},
                            c.label, kFontSize, kBlack, HAlign::Center, VAlign::Top);
    }
}

// Label widths before there is a canvas to measure them on, from the advances of a sans
// face (figures 0.64 em, point and space 0.32 em, minus 0.84 em, capitals 0.72 em, small
// letters 0.56 em), with a little to spare.
double estimated_width(const std::string& s, double size = kFontSize) {
    double em = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) == 0x80)
            continue;  // UTF-8 continuation byte
        if (c == '.' || c == ' ' || c == ',' || c == ':')
            em += 0.32;
        else if (c >= 0x80)
            em += 0.84;
        else if (std::isupper(c))
            em += 0.72;
        else if (std::isalpha(c))
            em += 0.56;
        else
            em += 0.64;
    }
    return 1.05 * em * size;
}

// Words put on lines no wider than `width` (a word longer than that has a line of its own).
std::vector<std::string> wrap_text(const std::string& text, double width, double size) {
    std::vector<std::string> lines;
    std::string line, word;
    auto put = [&] {
        if (word.empty())
            return;
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && estimated_width(longer, size) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\n')
            put();
        else
            word += c;
    }
    put();
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

double legend_entry_width(const fig::LegendEntry& e) {
    return kSampleWidth + kLegendGap + estimated_width(e.label);
}

// Legend entries in rows as wide as `width` allows; returns each entry's start, relative to
// the first row's left end and middle, and the number of rows.
std::vector<Point> legend_positions(const std::vector<fig::LegendEntry>& entries, double width,
                                    int& rows) {
    std::vector<Point> at;
    double x = 0, y = 0;
    rows = entries.empty() ? 0 : 1;
    for (const auto& e : entries) {
        const double w = legend_entry_width(e);
        if (x > 0 && x + w > width) {
            x = 0;
            y += kFontSize * 1.3;
            ++rows;
        }
        at.push_back({x, y});
        x += w + kLegendSpacing;
    }
    return at;
}

// The data range the box shows: the axis limits, padded in one direction for equal scaling.
fig::Limits visible_range(const fig::Axes& axes, const Rect& box) {
    fig::Limits v = axes.limits();
    if (axes.equal() && box.w > 0 && box.h > 0) {
        // One data unit takes the same length both ways: widen the range that has room to spare.
        const double per_pt = std::max((v[1] - v[0]) / box.w, (v[3] - v[2]) / box.h);
        const double cx = (v[0] + v[1]) / 2, cy = (v[2] + v[3]) / 2;
        const double hx = per_pt * box.w / 2, hy = per_pt * box.h / 2;
        v = {cx - hx, cx + hx, cy - hy, cy + hy};
    }
    return v;
}

}  // namespace

FigureLayout layout_figure(const fig::Figure& f, double width_pt, double height_pt) {
    const fig::Axes& axes = f.axes();
    const fig::FilledContour* bar = colorbar_source(axes);
    FigureLayout lay;
    lay.frame = !(axes.deformation_picture && !f.frame_on_deformations);
    Rect& box = lay.plot_box;
    box = axes_box(f, width_pt, height_pt);
    const double line = kFontSize * kLineHeight;
    double bar_room = 0;  // right of the box: gap, bar, its labels and its title
    if (bar) {
        double widest = 0;
        const auto labels = colorbar_labels(*bar);
        for (const auto& l : labels.text)
            widest = std::max(widest, estimated_width(l));
        bar_room = kBarGap + kBarWidth + kBarLabelGap + widest;
        if (!bar->label.empty())
            bar_room += kTitleGap + line;
        box.w = std::max(box.w - bar_room, 0.25 * box.w);
    }
    lay.visible = visible_range(axes, box);

    // Room around the box for what is written there: the caption at the foot of the picture,
    // the legend above the box, the axis titles and tick labels beside it.
    const double text_width = width_pt - 2 * kPageMargin;
    if (f.show_caption && !axes.caption.empty())
        lay.caption_lines = wrap_text(axes.caption, text_width, fig::kCaptionFontSize);
    const double caption_h =
        static_cast<double>(lay.caption_lines.size()) * fig::kCaptionFontSize * kLineHeight;
    int legend_rows = 0;
    lay.legend_at = legend_positions(axes.legend, text_width, legend_rows);
    const double legend_h = legend_rows > 0 ? legend_rows * kFontSize * 1.3 + kTitleGap : 0;

    if (box.w > 0 && box.h > 0) {
        double widest = 0;    // of the y tick labels
        double overhang = 0;  // of the last x label beyond the box's right edge
        if (lay.frame) {
            const double ystep = fig::nice_step(lay.visible[3] - lay.visible[2]);
            for (double v : tick_values(lay.visible[2], lay.visible[3], ystep))
                widest = std::max(widest, estimated_width(tick_label(v, ystep)));
            if (!axes.yticks.values.empty()) {
                widest = 0;
                for (const auto& l : axes.yticks.labels)
                    widest = std::max(widest, estimated_width(l));
            }
            if (axes.xticks.values.empty()) {
                const double xstep = fig::nice_step(lay.visible[1] - lay.visible[0]);
                const auto xticks = tick_values(lay.visible[0], lay.visible[1], xstep);
                if (!xticks.empty())
                    overhang = estimated_width(tick_label(xticks.back(), xstep)) / 2;
            } else if (!axes.xticks.labels.empty()) {
                overhang = estimated_width(axes.xticks.labels.back()) / 2;
            }
        }
        double left = kPageMargin + (lay.frame ? widest + kLabelGap + 1 : 0);
        if (!axes.ylabel.empty())
            left += line + kTitleGap;
        if (box.x < left) {
            box.w -= left - box.x;
            box.x = left;
        }
        const double right = std::max(bar_room, overhang) + kPageMargin;
        if (box.right() + right > width_pt)
            box.w = width_pt - right - box.x;
        double below = kPageMargin + caption_h + (lay.frame ? kLabelGap + line : 0);
        if (!axes.xlabel.empty())
            below += line + kTitleGap;
        if (caption_h > 0)
            below += kTitleGap;
        if (box.bottom() + below > height_pt)
            box.h = height_pt - below - box.y;
        const double above = kPageMargin + legend_h + (lay.frame ? line / 2 : 0);
        if (box.y < above) {
            box.h -= above - box.y;
            box.y = above;
        }
        lay.visible = visible_range(axes, box);
    }
    lay.caption_top = height_pt - kPageMargin - caption_h;
    // The legend is centred over the box (over the picture when the box is narrower).
    if (!lay.legend_at.empty()) {
        double row_width = 0;
        for (std::size_t i = 0; i < axes.legend.size(); ++i) {
            if (lay.legend_at[i].y == 0)
                row_width = lay.legend_at[i].x + legend_entry_width(axes.legend[i]);
        }
        const double left = std::clamp(box.x + (box.w - row_width) / 2, kPageMargin,
                                       std::max(kPageMargin, width_pt - kPageMargin - row_width));
        const double top = box.y - legend_h - (lay.frame ? line / 2 : 0) + kFontSize * 0.65;
        for (auto& p : lay.legend_at)
            p = {left + p.x, top + p.y};
    }
    if (bar)
        lay.colorbar = Rect{box.right() + kBarGap, box.y, kBarWidth, box.h};
    return lay;
}

std::vector<double> tick_values(double lo, double hi, double step) {
    std::vector<double> out;
    if (!(step > 0) || !(hi >= lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return out;
    const double tol = 1e-9 * step;
    const double first = std::ceil((lo - tol) / step);
    const double last = std::floor((hi + tol) / step);
    if (last - first > 1000)
        return out;  // a step far too fine for the range
    for (double k = first; k <= last; ++k)
        out.push_back(k * step);
    return out;
}

std::string tick_label(double value, double step) {
    if (std::abs(value) < 1e-9 * step)
        value = 0;
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
    std::string s;
    if (std::abs(value) >= 1e15 || (value != 0 && std::abs(value) < 1e-15)) {
        s = cformat("%g", value);
    } else {
        s = cformat("%.*f", decimals, value);
    }
    if (!s.empty() && s[0] == '-')
        s = "\u2212" + s.substr(1);
    return s;
}

void render_figure(const fig::Figure& f, Canvas& canvas, double width_pt, double height_pt) {
    canvas.fill_polygon({{{0, 0}, {width_pt, 0}, {width_pt, height_pt}, {0, height_pt}}}, kWhite);
    const FigureLayout lay = layout_figure(f, width_pt, height_pt);
    if (!(lay.plot_box.w > 0 && lay.plot_box.h > 0))
        return;
    const fig::Axes& axes = f.axes();
    const auto& objects = axes.drawing_order();

    canvas.set_clip(lay.plot_box);
    for (const auto& o : objects) {
        if (const auto* c = dynamic_cast<const fig::FilledContour*>(o.get())) {
            draw_contour(canvas, lay, *c);
        }
    }
    canvas.reset_clip();
    // Lines first, then the series of markers alone (landmarks), so that no line hides a
    // landmark; white markers only widen the limits and stay beneath.
    auto markers_only = [](const fig::Line& l) {
        return l.line_style == "none" && !(l.color == kWhite);
    };
    for (bool last : {false, true}) {
        for (const auto& o : objects) {
            const auto* l = dynamic_cast<const fig::Line*>(o.get());
            if (l && markers_only(*l) == last)
                draw_line(canvas, lay, *l);
        }
    }
    for (const auto& o : objects) {
        const auto* t = dynamic_cast<const fig::Text*>(o.get());
        if (!t || t->string.empty())
            continue;
        Point p = lay.to_canvas(t->x, t->y);
        p = {p.x + t->offset_x_pt, p.y - t->offset_y_pt};
        if (std::isfinite(p.x) && std::isfinite(p.y)) {
            if (t->halo)
                draw_haloed_text(canvas, p, *t);
            else
                canvas.draw_text(p, t->string, t->font_size, t->color, HAlign::Left,
                                 VAlign::Middle);
        }
    }
    if (lay.frame)
        draw_axes_box(canvas, lay, axes);
    draw_titles(canvas, lay, axes);
    if (lay.colorbar)
        draw_colorbar(canvas, *lay.colorbar, *colorbar_source(axes));
    draw_legend(canvas, lay, axes);
    draw_caption(canvas, lay);
}

}  // namespace tesvane::render
