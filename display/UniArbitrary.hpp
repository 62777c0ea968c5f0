// Uniform displacement patterns formed on the reference's principal axes.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The two uniform patterns of a reference row xref (1 x (2k+1)) as a 2 x 2k matrix (rows the
// patterns, interleaved x, y), each of unit length. The reference is first rounded to four
// decimals, as the stored references are, and the patterns are those of uniform_basis on the
// rounded form: built on its principal axes and turned back to its own orientation, so they are
// the directions the uniform scores were measured along.
// Throws GeometryError as uniform_basis does.
Matrix UniArbitrary(const Matrix& xref);

}  // namespace tesvane
