// Two-point registration of a reference and a target onto a template outline.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

struct TemplateOrientation {
    Matrix sref;            // reference in the template's frame, configuration row
    Matrix starget;         // target in the template's frame, configuration row
    double tx = 0, ty = 0;  // first matching reference landmark minus its template landmark
    double theta = 0;       // rotation, radians (not reduced to one turn)
    double xscale = 1;      // template distance over reference distance
};

// Maps both forms by F(v) = xscale R(theta) (v - r1) + t1, where r1, r2 are the reference
// landmarks corrlist(0, 0), corrlist(1, 0) and t1, t2 the template landmarks corrlist(0, 1),
// corrlist(1, 1) (numbers counted from 1), xscale = |t1 - t2| / |r1 - r2| and
// theta = atan2(t1 - t2) - atan2(r1 - r2). So r1 lands on t1 and r2 on t2; the target moves
// with the reference, its displacements turned and scaled alike. Each row keeps its last value.
// Throws Error when corrlist names a landmark the reference or the template does not have, or
// when the two reference landmarks coincide (the scale would be infinite).
// The reason a correspondence list cannot place a form on a template, or an empty text: it
// needs two rows (the two landmark pairs) of two whole landmark numbers from 1 (reference,
// template); further rows and columns are not read.
std::string correspondence_list_problem(const Matrix& corrlist);

TemplateOrientation templateorient(const Matrix& templ, const Matrix& reference,
                                   const Matrix& target, const Matrix& corrlist);

}  // namespace tesvane
