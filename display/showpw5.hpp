// A landmark axis drawn as a deformation of the reference, in a chosen superimposition.
#pragma once

#include <string>

#include "display/showpw4template.hpp"
#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

// As showpw4template without a template: the target is reference + scores with the uniform
// patterns of UniArbitrary (reversepwarb); then, by `suptype`, both forms are baseline-registered
// on landmarks b1, b2 (0), registered and slid along the baseline (1), left as they are (2), or
// the target is fitted onto the reference by repeated medians (3). For types 2 and 3 both forms
// are turned by one angle: the RefAngleBox angle, or the interactive one (RotateRequest ticked),
// or defangle (RotateRequest ticked, plot type 5). No message box. `theta` is the angle used in
// degrees; types without a rotation return defangle.
DeformationResult showpw5(Platform& ui, const Matrix& reference, const Matrix& pwscore, int npts,
                          int plottype, int suptype, int b1, int b2, double lineweight = 1,
                          const std::string& linespec = "k", const std::string& symboltype = "kd",
                          double aheadspec = 1, double rangeexpansion = 1, double trimreq = 0,
                          double defangle = 10);

}  // namespace tesvane
