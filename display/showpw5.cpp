#include "display/showpw5.hpp"

#include <cmath>

#include "display/basereg.hpp"
#include "display/deformation_grid.hpp"
#include "display/meth3sup.hpp"
#include "display/reversepwarb.hpp"
#include "display/rftra.hpp"
#include "display/rotationhandler.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

// The display rotation of the reference in radians, with the reference turned by it.
double turn_reference(Platform& ui, Matrix& reference, int plottype, double defangle) {
    const double last = reference(reference.size() - 1);
    Control* rotate = ui.find_control("RotateRequest");
    if (!rotate) {
        try {
            const double t = M_PI * detail::ref_angle_degrees(ui) / 180.0;
            reference = detail::turn_form(reference, t, last);
            return t;
        } catch (const Error&) {
            // Nothing to turn by: both forms stay as they are.
            ui.console("No display rotation");
            return 0;
        }
    }
    if (rotate->value() != 0 && plottype != 5) {
        const RotationResult r = rotationhandler(ui, reference, defangle);
        reference = r.reference;
        return r.theta;
    }
    const double t = M_PI * (rotate->value() != 0 ? defangle : detail::ref_angle_degrees(ui)) / 180;
    reference = detail::turn_form(reference, t, last);
    return t;
}

}  // namespace

DeformationResult showpw5(Platform& ui, const Matrix& reference, const Matrix& pwscore, int npts,
                          int plottype, int suptype, int b1, int b2, double lineweight,
                          const std::string& linespec, const std::string& symboltype,
                          double aheadspec, double rangeexpansion, double trimreq,
                          double defangle) {
    DeformationResult out;
    out.theta = defangle;
    Matrix ref = reference;
    Matrix target = reversepwarb(reference, pwscore);
    switch (suptype) {
        case 0:
            ref = basereg(ref, b1, b2);
            target = basereg(target, b1, b2);
            ui.console("using BC");
            break;
        case 1:
            ref = meth3sup(basereg(ref, b1, b2));
            target = meth3sup(basereg(target, b1, b2));
            ui.console("did sbr");
            break;
        case 3: {
            const ResistantFit fit = rftra(target, ref);
            target = fit.fitted;
            ui.console(cformat("Resistant fit: T1 %g, T2 %g, T3 %g, T4 %g", fit.params(0),
                               fit.params(1), fit.params(2), fit.params(3)));
            break;
        }
        default:
            break;
    }
    if (suptype == 2 || suptype == 3) {
        const double t = turn_reference(ui, ref, plottype, defangle);
        ui.console(cformat("Display rotation %g degrees", 180 * t / M_PI));
        target = detail::turn_form(target, t, target(target.size() - 1));
        out.theta = 180 * t / M_PI;
    }
    out.bigrefdef2 = target;
    const DeformationStyle style{npts,       plottype,  lineweight,     linespec,
                                 symboltype, aheadspec, rangeexpansion, trimreq};
    out.bigrefdef = draw_deformation(ui, ref, target, style);
    return out;
}

}  // namespace tesvane
