// Writing a block as a comma-separated table with a header row.
#pragma once

#include <string>
#include <vector>

#include "platform/matrix.hpp"

namespace tesvane {

// A header row, then one line per row of `rows`, values at full precision. With `ids` the first
// column is "id", the IDs quoted where needed. An odd count of columns 2k+1 (configuration or
// score rows) is headed x1,y1,...,xk,yk,cs, any other count v1 ... vp. An Error for a count of
// IDs that is not the count of rows, or an empty matrix.
std::string csv_text(const Matrix& rows, const std::vector<std::string>& ids = {});

// csv_text written to `path` in one atomic step.
void writecsv(const std::string& path, const Matrix& rows,
              const std::vector<std::string>& ids = {});

}  // namespace tesvane
