// A landmark axis drawn as a deformation of the reference on a template outline.
#pragma once

#include <string>

#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

struct DeformationResult {
    Matrix bigrefdef;   // reference landmarks through the fitted spline, last value 1
    Matrix bigrefdef2;  // the target form in display position
    double theta = 0;   // the rotation used, degrees
};

// The target reference + scores (reversepwb) and the reference are placed on the template by the
// two landmark pairs of clist (templateorient), after the template has been turned: by the
// RefAngleBox angle, or interactively (rotationhandler) when RotateRequest is ticked, or by
// defangle for plot type 5 with RotateRequest ticked. A thin-plate spline carrying the reference
// onto the target is drawn as plot type `plottype` (1 grid, 2 arrow field, 3 vectors, 4 grid and
// vectors, 5 vectors over the current picture, 6 and 7 x- and y-only arrow fields, 8 and 9
// filled contours of |x| and |y| displacements; 98 and 99 draw nothing) over a grid of
// (npts+6) x npts_y square cells, then numbered, trimmed on request, and the rotation shown in
// a message. `suptype`, `b1` and `b2` are not used here.
// Throws Error when the scores do not fit the reference, clist names a missing landmark, or
// RotateRequest is there and not ticked and RefAngleBox holds no number.
DeformationResult showpw4template(Platform& ui, const Matrix& templ, const Matrix& clist,
                                  const Matrix& reference, const Matrix& pwscore, int npts,
                                  int plottype, int suptype, int b1, int b2, double lineweight = 1,
                                  const std::string& linespec = "k",
                                  const std::string& symboltype = "kd", double aheadspec = 1,
                                  double rangeexpansion = 1, double trimreq = 0,
                                  double defangle = 10);

}  // namespace tesvane
