// From a row of shape scores back to a configuration, uniform part on the principal axes.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// As reversepwb, with the two uniform patterns of UniArbitrary (the directions the uniform
// scores of getpw_arbit are measured along) instead of those of UniAxis.
Matrix reversepwarb(const Matrix& reference, const Matrix& pw);

}  // namespace tesvane
