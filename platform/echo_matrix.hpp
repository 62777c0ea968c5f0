// Echoing a matrix to the console as a diagnostic, within a fixed size: a matrix of thousands of
// rows and columns would otherwise print hundreds of megabytes.
#pragma once

#include <string>

#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

inline constexpr Index kEchoedRows = 12;
inline constexpr Index kEchoedCols = 12;

// "NAME (m x n):", then at most kEchoedRows rows of at most kEchoedCols "%g" values, a row cut
// short ending in " ...", and a last line saying how many rows were left out.
void echo_matrix(Platform& ui, const std::string& name, const Matrix& m);

}  // namespace tesvane
