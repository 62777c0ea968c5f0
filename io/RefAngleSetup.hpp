// Fills RefAngleBox at start-up, from "refanglefile.txt" when its text starts with "a".
#pragma once

#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

// Returns the value written into RefAngleBox (the empty matrix when there is no such control).
Matrix RefAngleSetup(Platform& ui);

// A matrix as text: "%g" values separated by blanks, one line per row.
std::string matrix_text(const Matrix& m);

}  // namespace tesvane
