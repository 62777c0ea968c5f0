// The text of a saved axis or reference file: one line of "%g " values, then a "%" comment.
#pragma once

#include <string>

#include "platform/matrix.hpp"

namespace tesvane {

// `values` written element by element in row order with "%g ", then " % <label> \n " (a blank,
// "%", a blank, the label, a blank, a line break and one final blank). dload reads it back as
// one row of the values.
std::string saved_vector_text(const Matrix& values, const std::string& label);

}  // namespace tesvane
