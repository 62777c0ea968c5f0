#include "display/templateorient.hpp"

#include <cmath>
#include <string>

#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

// Landmark `number` (from 1) of a vertical-layout form; `what` names the form in errors.
Eigen::Vector2d landmark(const Matrix& v, double number, const char* what) {
    const double n = std::round(number);
    if (!(n >= 1) || n > static_cast<double>(v.cols()) || n != number) {
        throw Error(std::string("the correspondence list names landmark ") + cformat("%g", number) +
                    ", but the " + what + " has " + std::to_string(v.cols()) + " landmarks");
    }
    return v.col(static_cast<Index>(n) - 1);
}

}  // namespace

std::string correspondence_list_problem(const Matrix& corrlist) {
    if (corrlist.rows() < 2 || corrlist.cols() < 2)
        return "a correspondence list needs two rows of two landmark numbers (reference, "
               "template); it has " +
               std::to_string(corrlist.rows()) + " × " + std::to_string(corrlist.cols());
    for (Index i = 0; i < 2; ++i) {
        for (Index j = 0; j < 2; ++j) {
            const double n = corrlist(i, j);
            if (!(n >= 1) || n != std::floor(n) || n > 1e9)
                return "the correspondence list names landmark " + cformat("%g", n) +
                       ", which is not a whole number from 1";
        }
    }
    return "";
}

TemplateOrientation templateorient(const Matrix& templ, const Matrix& reference,
                                   const Matrix& target, const Matrix& corrlist) {
    if (const std::string why = correspondence_list_problem(corrlist); !why.empty())
        throw Error(why);
    if (templ.size() < 2 || reference.size() < 2 || target.size() < 1)
        throw Error("the template and the forms need landmarks to be placed on each other");
    const Matrix vref = vertxy(reference);
    const Matrix vtemplate = vertxy(templ);
    const Matrix vtarget = vertxy(target);
    const Eigen::Vector2d r1 = landmark(vref, corrlist(0, 0), "reference");
    const Eigen::Vector2d r2 = landmark(vref, corrlist(1, 0), "reference");
    const Eigen::Vector2d t1 = landmark(vtemplate, corrlist(0, 1), "template");
    const Eigen::Vector2d t2 = landmark(vtemplate, corrlist(1, 1), "template");
    const double dr = (r1 - r2).norm();
    if (!(dr > 0)) {
        throw Error(
            "the two reference landmarks of the correspondence list coincide, so the "
            "template scale is undefined");
    }
    TemplateOrientation o;
    o.tx = r1(0) - t1(0);
    o.ty = r1(1) - t1(1);
    o.xscale = (t1 - t2).norm() / dr;
    o.theta = std::atan2(t1(1) - t2(1), t1(0) - t2(0)) - std::atan2(r1(1) - r2(1), r1(0) - r2(0));
    Eigen::Matrix2d R;
    R << std::cos(o.theta), -std::sin(o.theta), std::sin(o.theta), std::cos(o.theta);
    auto map = [&](const Matrix& v) -> Matrix {
        return ((o.xscale * R) * (v.colwise() - r1)).colwise() + t1;
    };
    o.sref = xyfromvert(map(vref).transpose(), reference(reference.size() - 1));
    o.starget = xyfromvert(map(vtarget).transpose(), target(target.size() - 1));
    return o;
}

}  // namespace tesvane
