#include "display/rotationhandler.hpp"

#include <cmath>
#include <exception>

#include "display/showshape.hpp"
#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "io/number_parse.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

// The dialog's default answer: whole numbers without decimals.
std::string angle_text(double degrees) {
    if (degrees == std::floor(degrees) && std::abs(degrees) < 1e15)
        return cformat("%.0f", degrees);
    return cformat("%.6g", degrees);
}

void draw(Platform& ui, const Matrix& reference) {
    fig::Axes& axes = ui.figure().axes();
    axes.cla();
    showshape(axes, reference, "m*");
    number_landmarks(ui, reference);
    axes.set_auto_limits();
    axes.set_equal(true);
}

// The first number of an answer in degrees; none for an empty or non-numeric answer.
std::optional<double> parse_angle(const std::string& text) {
    try {
        const std::vector<double> v = parse_numbers(text);
        if (v.empty())
            return std::nullopt;
        return v[0];
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace

void number_landmarks(Platform& ui, const Matrix& form) {
    Control* box = ui.find_control("NumberButton");
    if (!box || box->value() == 0)
        return;
    fig::Axes& axes = ui.figure().axes();
    for (Index i = 0; i < form.size() / 2; ++i) {
        fig::Text& t = axes.text(form(2 * i) + 0.02, form(2 * i + 1) + 0.02, std::to_string(i + 1));
        t.font_size = fig::kFigureFontSize;
        t.halo = true;  // no grid line or vector crosses the number
        // Clear of the landmark's marker (5 points across), whatever the plotted range.
        t.offset_x_pt = 3.5;
        t.offset_y_pt = 2;
    }
}

RotationResult rotationhandler(Platform& ui, const Matrix& reference, double defangle) {
    RotationResult out{0.0, reference};
    draw(ui, out.reference);
    std::string answer = angle_text(defangle == 0 ? 10 : defangle);
    const double cs = reference(reference.size() - 1);
    for (;;) {
        std::optional<std::string> reply;
        try {
            reply = ui.input_dialog(kRotationTitle, kRotationPrompt, answer);
        } catch (const std::exception& e) {
            ui.console(std::string("input dialog: ") + e.what());
            ui.notice("Sorry, Failure on input dialog Box");
        }
        if (!reply)
            break;
        answer = *reply;
        const std::optional<double> degrees = parse_angle(*reply);
        if (!degrees || *degrees == 0)
            break;
        const double a = M_PI * *degrees / 180.0;
        Matrix R(2, 2);
        R << std::cos(a), -std::sin(a), std::sin(a), std::cos(a);
        out.reference = xyfromvert((R * vertxy(out.reference)).transpose(), cs);
        draw(ui, out.reference);
        out.theta += a;
    }
    return out;
}

}  // namespace tesvane
