#include "display/showpw4template.hpp"

#include <cmath>

#include "display/deformation_grid.hpp"
#include "display/reversepwb.hpp"
#include "display/rotationhandler.hpp"
#include "display/template_outline.hpp"
#include "display/templateorient.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/report_number.hpp"

namespace tesvane {

namespace {

// The template turned as RotateRequest and RefAngleBox say.
Matrix turned_template(Platform& ui, const Matrix& templ, const Matrix& reference, int plottype,
                       double defangle) {
    const double ref_last = reference(reference.size() - 1);
    Control* rotate = ui.find_control("RotateRequest");
    if (!rotate) {
        try {
            const double a = detail::ref_angle_degrees(ui);
            ui.console(cformat("Template rotation %g degrees", a));
            return detail::turn_form(templ, M_PI * a / 180.0, ref_last);
        } catch (const Error&) {
            ui.console("No template rotation");
            return templ;
        }
    }
    if (rotate->value() != 0) {
        if (plottype != 5)
            return rotationhandler(ui, templ, defangle).reference;
        return detail::turn_form(templ, M_PI * defangle / 180.0, templ(templ.size() - 1));
    }
    const double a = detail::ref_angle_degrees(ui);
    ui.console(cformat("Template rotation %g degrees", a));
    return detail::turn_form(templ, M_PI * a / 180.0, ref_last);
}

}  // namespace

DeformationResult showpw4template(Platform& ui, const Matrix& templ, const Matrix& clist,
                                  const Matrix& reference, const Matrix& pwscore, int npts,
                                  int plottype, int suptype, int, int, double lineweight,
                                  const std::string& linespec, const std::string& symboltype,
                                  double aheadspec, double rangeexpansion, double trimreq,
                                  double defangle) {
    ui.console(cformat("Superimposition type %d", suptype));
    if (const std::string why = correspondence_list_problem(clist); !why.empty())
        throw Error(why);
    if (templ.size() < 2)
        throw Error("the template holds no landmarks");
    DeformationResult out;
    const Matrix target = reversepwb(reference, pwscore);
    const Matrix t = turned_template(ui, templ, reference, plottype, defangle);

    const TemplateOrientation o = templateorient(t, reference, target, clist);
    ui.console(cformat("Template orientation: tx %g, ty %g, theta %g rad, scale %g", o.tx, o.ty,
                       o.theta, o.xscale));
    const std::string message =
        "The rotation used was " + report_number("%3.3f", o.theta * 180 / M_PI) + " degrees";
    out.theta = 180 * o.theta / M_PI;
    out.bigrefdef2 = o.starget;

    const DeformationStyle style{npts,       plottype,  lineweight,     linespec,
                                 symboltype, aheadspec, rangeexpansion, trimreq};
    out.bigrefdef = draw_deformation(ui, o.sref, o.starget, style);
    // The outline, carried through the spline of the grid: what a template is loaded for.
    if (plottype >= 1 && plottype <= 9) {
        const Control* grey = ui.find_control("OutlineButton");
        draw_outline(ui.figure().axes(), t, warp_outline(o.sref, o.starget, t),
                     grey && grey->value() != 0, lineweight);
    }
    if (plottype != 98 && plottype != 99) {
        // A box after every picture is in the way; after turning by hand the user wants it.
        const Control* rotate = ui.find_control("RotateRequest");
        if (rotate && rotate->value() != 0)
            ui.notice(message);
        else
            ui.message(message);
    }
    return out;
}

}  // namespace tesvane
