#include "figure/register_figure_commands.hpp"

#include <string>

#include "figure/CopyBigImage.hpp"
#include "figure/CopyBigImageNA.hpp"
#include "figure/CopyImageEPS.hpp"
#include "figure/boringcursor.hpp"
#include "figure/incrementlinethickness.hpp"
#include "figure/incrementsymbolsize.hpp"
#include "figure/setlinethickness.hpp"
#include "figure/setsymbolbw.hpp"
#include "figure/setsymbolfill.hpp"
#include "figure/spiffyfish.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

// Handle 1 is the current axes; there are no other graphics objects with children.
fig::Axes& axes_arg(AppContext& c, const Values& in, const std::string& fn) {
    const double h = number_in(in, 0);
    if (h != 1)
        throw Error(fn + ": there is no graphics object with the handle " + cformat("%g", h));
    return c.ui.figure().axes();
}

Param number_or(double fallback) {
    return optional(number_param(), Matrix::Constant(1, 1, fallback));
}

void restyling(Registry& r, const std::string& name, double missing,
               void (*command)(fig::Axes&, double)) {
    r.add(name, {{number_or(1), number_or(missing)}}, 0,
          [name, command](AppContext& c, const Values& in, int) {
              command(axes_arg(c, in, name), number_in(in, 1));
              return Values{};
          });
}

}  // namespace

void register_figure_commands(AppContext& ctx) {
    Registry& r = ctx.functions;
    restyling(r, "setsymbolfill", 1, setsymbolfill);
    restyling(r, "incrementsymbolsize", 1, incrementsymbolsize);
    restyling(r, "incrementlinethickness", 0.5, incrementlinethickness);
    restyling(r, "setlinethickness", 0.5, setlinethickness);
    r.add("setsymbolbw", {{number_or(1)}}, 0, [](AppContext& c, const Values& in, int) {
        setsymbolbw(axes_arg(c, in, "setsymbolbw"));
        return Values{};
    });
    // The export commands take one input and ignore it.
    const Signature ignored{{optional(any_param())}};
    r.add("CopyBigImage", ignored, 0, [](AppContext& c, const Values&, int) {
        CopyBigImage(c.ui);
        return Values{};
    });
    r.add("CopyBigImageNA", ignored, 0, [](AppContext& c, const Values&, int) {
        CopyBigImageNA(c.ui);
        return Values{};
    });
    r.add("CopyImageEPS", ignored, 0, [](AppContext& c, const Values&, int) {
        CopyImageEPS(c.ui);
        return Values{};
    });
    // The caption line and the frame of deformation pictures are kept or left out of every
    // picture until toggled again.
    r.add("togglecaption", {}, 0, [](AppContext& c, const Values&, int) {
        fig::Figure& f = c.ui.figure();
        f.show_caption = !f.show_caption;
        f.changed();
        return Values{};
    });
    r.add("toggleframe", {}, 0, [](AppContext& c, const Values&, int) {
        fig::Figure& f = c.ui.figure();
        f.frame_on_deformations = !f.frame_on_deformations;
        f.changed();
        return Values{};
    });
    r.add("spiffyfish", {}, 0, [](AppContext& c, const Values&, int) {
        spiffyfish(c.ui.figure());
        return Values{};
    });
    r.add("boringcursor", {}, 0, [](AppContext& c, const Values&, int) {
        boringcursor(c.ui.figure());
        return Values{};
    });
}

const std::vector<FigureMenuEntry>& figure_menu_entries() {
    static const std::vector<FigureMenuEntry> entries{
        {"Copy big image", "CopyBigImage"},
        {"Copy big image, limits as drawn", "CopyBigImageNA"},
        {"Save big image as EPS…", "CopyImageEPS"},
        {"Filled symbols", "setsymbolfill"},
        {"Black symbols", "setsymbolbw"},
        {"Larger symbols", "incrementsymbolsize"},
        {"Thicker lines", "incrementlinethickness"},
        {"Thin lines", "setlinethickness"},
        {"Caption on or off", "togglecaption"},
        {"Frame of deformation pictures on or off", "toggleframe"},
        {"Fish pointer", "spiffyfish"},
        {"Arrow pointer", "boringcursor"},
    };
    return entries;
}

}  // namespace tesvane
