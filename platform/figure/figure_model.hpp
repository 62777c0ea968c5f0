// The figure object model: figure -> axes -> children (lines, texts, filled contours).
//
// Every picture the program draws is built here first and rendered from here, on screen and
// into files, so a saved picture looks like the screen. Nothing in this header depends on Qt.
// Coordinates of children are data units; sizes (line widths, marker sizes, font sizes) are
// points (1/72 inch).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/matrix.hpp"

namespace tesvane::fig {

struct Rgb {
    double r = 0, g = 0, b = 0;  // each in [0, 1]
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A colour property that may also be "none" (not drawn) or "auto" (the line's own colour).
struct ColorSpec {
    enum class Kind { None, Auto, Color };
    Kind kind = Kind::Auto;
    Rgb rgb;
    static ColorSpec none() { return {Kind::None, {}}; }
    static ColorSpec automatic() { return {Kind::Auto, {}}; }
    static ColorSpec color(Rgb c) { return {Kind::Color, c}; }
    friend bool operator==(const ColorSpec&, const ColorSpec&) = default;
};

// What a style string such as "k-", "ko", "r*", "b.", "w." or "r--" asks for. A string with a
// marker and no line code draws markers only; one with neither draws a solid line.
struct Style {
    Rgb color{0, 0, 1};            // default blue when no colour letter is given
    std::string line_style = "-";  // "-", "--", ":", "-." or "none"
    std::string marker = "none";   // "o", "+", "*", ".", "x", "s", "d", "^", "v", ">", "<",
                                   // "p", "h" or "none"
};
// Parses a style string; an unknown character is an Error naming the string.
Style parse_style(const std::string& style_text);
// The colour of a colour letter (y m c r g b w k); false for any other character.
bool colour_letter(char letter, Rgb& out);

using Handle = std::uint64_t;  // unique within a figure, never reused

// The common part of every child of an axes.
class Object {
  public:
    explicit Object(Handle h) : handle_(h) {}
    virtual ~Object() = default;
    // "line", "text" or "contour"; the restyling commands test its first letter.
    virtual std::string type() const = 0;
    Handle handle() const { return handle_; }

  private:
    friend class Axes;  // gives objects handed to Axes::add a handle of its figure
    Handle handle_;
};

// Type "line": a polyline, a marker series, or both. A not-a-number point breaks the polyline.
class Line : public Object {
  public:
    using Object::Object;
    std::string type() const override { return "line"; }
    std::vector<double> x, y;
    Rgb color;
    std::string line_style = "-";
    std::string marker = "none";
    double line_width = 0.5;
    double marker_size = 6;
    ColorSpec marker_face = ColorSpec::none();
    ColorSpec marker_edge = ColorSpec::automatic();
};

class Text : public Object {
  public:
    using Object::Object;
    std::string type() const override { return "text"; }
    double x = 0, y = 0;
    std::string string;
    Rgb color;
    double font_size = 10;
    // A white outline behind the glyphs, so that no line crosses the text (landmark numbers).
    bool halo = false;
    // A shift on the page in points (x right, y up) from the anchor at (x, y): a label keeps
    // the same clearance from what it names at every zoom and export size.
    double offset_x_pt = 0, offset_y_pt = 0;
};

// One filled band of a contour plot: closed polygons (rings) with the colour of its level.
struct ContourBand {
    double lower = 0, upper = 0;                            // the band's level interval
    std::vector<std::vector<std::array<double, 2>>> rings;  // polygons, data units, even-odd fill
    Rgb color;
};

// A filled contour plot of Z over node coordinates X, Y, drawn as its bands, with a colour bar.
class FilledContour : public Object {
  public:
    using Object::Object;
    std::string type() const override { return "contour"; }
    Matrix X, Y, Z;
    std::vector<double> levels;  // ascending band edges
    std::vector<ContourBand> bands;
    bool show_colorbar = true;
    std::string label;  // what the colour bar measures, written beside it
};

// One entry of a legend: the text and how its series is drawn.
struct LegendEntry {
    std::string label;
    Rgb color;
    std::string line_style = "none";  // as Line::line_style
    std::string marker = "none";      // as Line::marker
    bool filled = false;              // the marker filled in the series' colour
    friend bool operator==(const LegendEntry&, const LegendEntry&) = default;
};
// The legend entry of a series drawn with a style string such as "bo" or "r-".
LegendEntry legend_entry(const std::string& label, const std::string& style);

// Ticks set by the caller at given values with given labels (loading plots: one per variable).
struct Ticks {
    std::vector<double> values;
    std::vector<std::string> labels;  // one per value
};

// A rectangle (left, bottom, width, height) in the units named beside it.
using Position = std::array<double, 4>;
using Limits = std::array<double, 4>;  // xmin, xmax, ymin, ymax

class Axes {
  public:
    // Drawing. With hold off, plot-like calls first clear the axes and return limits and aspect
    // to automatic and normal, as a fresh picture.
    Line& plot(const std::vector<double>& x, const std::vector<double>& y,
               const std::string& style);
    Line& plot(const std::vector<double>& x, const std::vector<double>& y, const std::string& style,
               double line_width, double marker_size = -1);
    Text& text(double x, double y, const std::string& s);
    FilledContour& add(std::unique_ptr<FilledContour> c);  // plot-like; takes a fresh handle
    bool remove(Handle h);  // deletes one drawn object; false when it is not here
    void cla();             // removes every child; hold, limits mode and aspect stay
    void set_hold(bool on) { hold_ = on; }
    bool hold() const { return hold_; }
    // Tells viewers that a child's properties were edited in place (restyling commands).
    void refresh() const { notify(); }

    // Children in the order the platform lists them (newest first, as a stack of drawings).
    std::vector<Object*> children() const;
    const std::vector<std::unique_ptr<Object>>& drawing_order() const { return objects_; }

    // Limits: automatic ones enclose the data, rounded outward to tick steps; a single value
    // gets a range around it, empty axes [0 1 0 1].
    Limits limits() const;
    void set_limits(const Limits& l);  // Error unless finite with xmin < xmax and ymin < ymax
    void set_auto_limits();            // axis("auto")
    bool auto_limits() const { return auto_limits_; }
    void set_equal(bool on) {  // axis("equal") / axis("normal")
        equal_ = on;
        notify();
    }
    bool equal() const { return equal_; }

    Position position{0.13, 0.11, 0.775, 0.815};  // in `units`, as a window-relative default
    std::string units = "normalized";

    // What the picture means, written around the plot box. A new drawing (cla, or a plot with
    // hold off) starts without them; the displays set them after drawing.
    std::string xlabel, ylabel;
    std::string caption;              // one line below the picture saying what is drawn
    std::vector<LegendEntry> legend;  // drawn above the plot box when it has entries
    Ticks xticks, yticks;             // empty: automatic ticks
    // A deformation picture, whose coordinates are arbitrary: the figure may leave out its box,
    // ticks and tick labels (Figure::frame_on_deformations).
    bool deformation_picture = false;
    void clear_labels();

    // Set by the figure: allocates handles and tells viewers that the picture changed.
    std::function<Handle()> new_handle;
    std::function<void()> changed;

  private:
    void prepare_new_drawing();
    Handle take_handle() { return new_handle ? new_handle() : next_own_handle_++; }
    void notify() const {
        if (changed)
            changed();
    }
    std::vector<std::unique_ptr<Object>> objects_;
    Handle next_own_handle_ = 1;  // for axes that live outside a figure
    bool hold_ = false;
    bool auto_limits_ = true;
    bool equal_ = false;
    Limits manual_{0, 1, 0, 1};
};

// The size a figure is exported at: the picture's width and height in points (1/72 inch) and,
// for images, the resolution in dots per inch. Text and line sizes are points at this size.
struct ExportSize {
    double width_pt = 85 / 25.4 * 72;  // 85 mm: one journal column
    double height_pt = 85 / 25.4 * 72;
    double dpi = 300;
    friend bool operator==(const ExportSize&, const ExportSize&) = default;
};

// Reads "WIDTHxHEIGHTunit" with the unit mm, in or px (pixels at `dpi` dots per inch), as in
// "85x85mm", "3.5x3in" or "1200x900px". Error naming the text when it is not such a size or a
// side is not between 0.1 inch and 100 inches.
ExportSize parse_export_size(const std::string& text, double dpi);
// The size as parse_export_size reads it back: "85x85mm" when both sides are whole
// millimetres, else inches with enough digits ("3.5x3in").
std::string export_size_text(const ExportSize& s);

// The text sizes of a figure, in points at its export size.
inline constexpr double kFigureFontSize = 8;     // ticks, titles, legend
inline constexpr double kCaptionFontSize = 7;    // the caption line
inline constexpr double kFigureLineWidth = 0.5;  // axes box, ticks and the thinnest lines

class Figure {
  public:
    Figure();
    // The axes' hooks point back at this figure.
    Figure(const Figure&) = delete;
    Figure& operator=(const Figure&) = delete;
    Axes& axes() { return axes_; }
    const Axes& axes() const { return axes_; }
    void clear();  // a fresh, empty axes; handles are not reused

    Position position{0, 0, 560, 420};  // in `units`
    std::string units = "pixels";
    std::string pointer = "arrow";
    ExportSize export_size;
    bool show_caption = true;           // the caption is written in pictures and exports
    bool frame_on_deformations = true;  // off: deformation pictures without box and ticks
    Matrix pointer_shape;               // 16 x 16: 1 black, 2 white, not-a-number transparent

    // Called after every change of the picture (viewers repaint).
    void on_change(std::function<void()> f) { on_change_ = std::move(f); }
    void changed() const {
        if (on_change_)
            on_change_();
    }

  private:
    void connect_axes();
    Axes axes_;
    Handle next_handle_ = 1;
    std::function<void()> on_change_;
};

// Tick steps of automatic limits: 1, 2 or 5 times a power of ten, about five steps per range.
double nice_step(double range);

}  // namespace tesvane::fig
