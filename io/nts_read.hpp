// The reader of NTS data matrices.
//
// After comments (a double quote starts one, to the end of its line) the header line reads
// "1 n p m [missing] [DIM=d]": matrix type 1 (rectangular), n rows, p columns, m = 1 when the
// value `missing` marks missing data (0 otherwise). An "L" after n or p says that n row labels
// or p column labels follow the header, rows first. Then come the n x p values row by row, in
// any number of lines.
#pragma once

#include <istream>
#include <string>

#include "io/landmark_file_common.hpp"

namespace tesvane {

// With `landmarks` the p columns are x, y pairs and the result is configuration rows
// x1 y1 ... xk yk cs (cs the centroid size); otherwise the n x p table as it is. The row labels
// are the IDs. DataFileError naming `name` and the line for a malformed file, a 3D file (DIM=3),
// missing values, and columns that cannot be x, y pairs.
DataFileContents read_nts(std::istream& in, const std::string& name, bool landmarks);

}  // namespace tesvane
