#include "platform/figure/figure_model.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane::fig {

bool colour_letter(char letter, Rgb& out) {
    switch (letter) {
        case 'y':
            out = {1, 1, 0};
            return true;
        case 'm':
            out = {1, 0, 1};
            return true;
        case 'c':
            out = {0, 1, 1};
            return true;
        case 'r':
            out = {1, 0, 0};
            return true;
        case 'g':
            out = {0, 1, 0};
            return true;
        case 'b':
            out = {0, 0, 1};
            return true;
        case 'w':
            out = {1, 1, 1};
            return true;
        case 'k':
            out = {0, 0, 0};
            return true;
        default:
            return false;
    }
}

Style parse_style(const std::string& text) {
    static const std::string markers = "o+*.xsd^v><ph";
    Style style;
    bool have_colour = false, have_line = false, have_marker = false;
    auto fail = [&text](const std::string& why) { throw Error("style \"" + text + "\": " + why); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        Rgb rgb;
        if (c == ' ')
            continue;
        if (colour_letter(c, rgb)) {
            if (have_colour)
                fail("more than one colour");
            style.color = rgb;
            have_colour = true;
        } else if (c == '-' || c == ':') {
            if (have_line)
                fail("more than one line code");
            // "-." and "--" are line codes of two characters; "." alone is a marker.
            if (c == '-' && i + 1 < text.size() && (text[i + 1] == '-' || text[i + 1] == '.')) {
                style.line_style = text.substr(i, 2);
                ++i;
            } else {
                style.line_style = std::string(1, c);
            }
            have_line = true;
        } else if (markers.find(c) != std::string::npos) {
            if (have_marker)
                fail("more than one marker");
            style.marker = std::string(1, c);
            have_marker = true;
        } else {
            fail(std::string("unknown code '") + c + "'");
        }
    }
    if (have_marker && !have_line)
        style.line_style = "none";
    return style;
}

LegendEntry legend_entry(const std::string& label, const std::string& style) {
    const Style s = parse_style(style);
    return {label, s.color, s.line_style, s.marker, false};
}

ExportSize parse_export_size(const std::string& text, double dpi) {
    auto fail = [&text](const std::string& why) {
        throw Error("figure size \"" + text + "\": " + why);
    };
    if (!(dpi >= 10 && dpi <= 10000))
        throw Error(cformat("resolution %g dpi: give between 10 and 10000 dots per inch", dpi));
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        fail("give WIDTHxHEIGHT with a unit: mm, in or px (for example 85x85mm)");
    std::size_t unit_at = text.size();
    while (unit_at > x && std::isalpha(static_cast<unsigned char>(text[unit_at - 1])))
        --unit_at;
    const std::string unit = text.substr(unit_at);
    double per_unit = 0;  // points per unit
    if (unit == "mm") {
        per_unit = 72 / 25.4;
    } else if (unit == "in") {
        per_unit = 72;
    } else if (unit == "px") {
        per_unit = 72 / dpi;
    } else {
        fail("the unit must be mm, in or px");
    }
    auto side = [&](const std::string& s) {
        std::size_t used = 0;
        double v = 0;
        try {
            v = std::stod(s, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != s.size() || !std::isfinite(v))
            fail("\"" + s + "\" is not a number");
        const double pt = v * per_unit;
        if (!(pt >= 7.2 && pt <= 7200))
            fail("each side must be between 0.1 and 100 inches");
        return pt;
    };
    ExportSize out;
    out.width_pt = side(text.substr(0, x));
    out.height_pt = side(text.substr(x + 1, unit_at - x - 1));
    out.dpi = dpi;
    return out;
}

std::string export_size_text(const ExportSize& s) {
    const double wmm = s.width_pt * 25.4 / 72, hmm = s.height_pt * 25.4 / 72;
    if (std::abs(wmm - std::round(wmm)) < 1e-6 && std::abs(hmm - std::round(hmm)) < 1e-6)
        return cformat("%gx%gmm", std::round(wmm), std::round(hmm));
    return cformat("%.9gx%.9gin", s.width_pt / 72, s.height_pt / 72);
}

double nice_step(double range) {
    if (!(range > 0) || !std::isfinite(range))
        return 1;
    const double raw = range / 5;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    double mantissa = raw / power;
    if (mantissa >= 10) {
        mantissa /= 10;
        power *= 10;
    } else if (mantissa < 1) {
        mantissa *= 10;
        power /= 10;
    }
    // Thresholds at the geometric means of 1, 2, 5 and 10: the step nearest in ratio.
    if (mantissa < std::sqrt(2.0))
        return power;
    if (mantissa < std::sqrt(10.0))
        return 2 * power;
    if (mantissa < std::sqrt(50.0))
        return 5 * power;
    return 10 * power;
}

namespace {

struct Span {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void add(double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    bool empty() const { return lo > hi; }
};

// Rounds a data span outward to multiples of its tick step.
std::array<double, 2> rounded(const Span& s) {
    if (s.lo == s.hi) {
        const double half = std::max(1.0, 0.01 * std::abs(s.lo));
        return {s.lo - half, s.hi + half};
    }
    const double step = nice_step(s.hi - s.lo);
    // The tolerance keeps a value that lies on a tick (up to rounding) from gaining a step.
    const double lo = std::floor(s.lo / step + 1e-9) * step;
    const double hi = std::ceil(s.hi / step - 1e-9) * step;
    return {lo, hi};
}

}  // namespace

void Axes::clear_labels() {
    xlabel.clear();
    ylabel.clear();
    caption.clear();
    legend.clear();
    xticks = {};
    yticks = {};
    deformation_picture = false;
}

void Axes::prepare_new_drawing() {
    if (hold_)
        return;
    objects_.clear();
    clear_labels();
    auto_limits_ = true;
    equal_ = false;
}

Line& Axes::plot(const std::vector<double>& x, const std::vector<double>& y,
                 const std::string& style) {
    return plot(x, y, style, -1, -1);
}

Line& Axes::plot(const std::vector<double>& x, const std::vector<double>& y,
                 const std::string& style, double line_width, double marker_size) {
    // Validate everything before the axes change, so a bad call leaves the picture as it was.
    const Style s = parse_style(style);
    if (x.size() != y.size()) {
        throw Error("plot: " + std::to_string(x.size()) + " x values but " +
                    std::to_string(y.size()) + " y values");
    }
    prepare_new_drawing();
    auto line = std::make_unique<Line>(take_handle());
    line->x = x;
    line->y = y;
    line->color = s.color;
    line->line_style = s.line_style;
    line->marker = s.marker;
    if (line_width > 0)
        line->line_width = line_width;
    if (marker_size > 0)
        line->marker_size = marker_size;
    Line& ref = *line;
    objects_.push_back(std::move(line));
    notify();
    return ref;
}

Text& Axes::text(double x, double y, const std::string& s) {
    auto t = std::make_unique<Text>(take_handle());
    t->x = x;
    t->y = y;
    t->string = s;
    Text& ref = *t;
    objects_.push_back(std::move(t));
    notify();
    return ref;
}

FilledContour& Axes::add(std::unique_ptr<FilledContour> c) {
    if (!c)
        throw Error("no contour plot to add");
    prepare_new_drawing();
    c->handle_ = take_handle();
    FilledContour& ref = *c;
    objects_.push_back(std::move(c));
    notify();
    return ref;
}

bool Axes::remove(Handle h) {
    auto it = std::find_if(objects_.begin(), objects_.end(),
                           [h](const std::unique_ptr<Object>& o) { return o->handle() == h; });
    if (it == objects_.end())
        return false;
    objects_.erase(it);
    notify();
    return true;
}

void Axes::cla() {
    objects_.clear();
    clear_labels();
    notify();
}

std::vector<Object*> Axes::children() const {
    std::vector<Object*> out;
    out.reserve(objects_.size());
    for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
        out.push_back(it->get());
    return out;
}

Limits Axes::limits() const {
    if (!auto_limits_)
        return manual_;
    Span xs, ys;
    auto add_point = [&](double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        xs.add(x);
        ys.add(y);
    };
    for (const auto& o : objects_) {
        if (const auto* line = dynamic_cast<const Line*>(o.get())) {
            for (std::size_t i = 0; i < line->x.size(); ++i)
                add_point(line->x[i], line->y[i]);
        } else if (const auto* t = dynamic_cast<const Text*>(o.get())) {
            add_point(t->x, t->y);
        } else if (const auto* c = dynamic_cast<const FilledContour*>(o.get())) {
            if (c->X.size() == c->Y.size()) {
                for (Index i = 0; i < c->X.size(); ++i)
                    add_point(c->X(i), c->Y(i));
            }
            for (const auto& band : c->bands) {
                for (const auto& ring : band.rings) {
                    for (const auto& p : ring)
                        add_point(p[0], p[1]);
                }
            }
        }
    }
    if (xs.empty())
        return {0, 1, 0, 1};
    const auto xr = rounded(xs);
    const auto yr = rounded(ys);
    return {xr[0], xr[1], yr[0], yr[1]};
}

void Axes::set_limits(const Limits& l) {
    for (double v : l) {
        if (!std::isfinite(v))
            throw Error("axis limits must be finite numbers");
    }
    if (!(l[0] < l[1]) || !(l[2] < l[3])) {
        throw Error("axis limits must be increasing: [xmin xmax ymin ymax]");
    }
    manual_ = l;
    auto_limits_ = false;
    notify();
}

void Axes::set_auto_limits() {
    auto_limits_ = true;
    notify();
}

Figure::Figure() {
    connect_axes();
}

void Figure::connect_axes() {
    axes_.new_handle = [this] { return next_handle_++; };
    axes_.changed = [this] { changed(); };
}

void Figure::clear() {
    axes_ = Axes();
    connect_axes();
    changed();
}

}  // namespace tesvane::fig
