// The reader of delimited tables with a header row (CSV, TSV).
//
// The first non-blank line names the columns; its separator, a tab, else a comma, else a
// semicolon, is the file's. A field may be quoted with double quotes ("" inside for a quote).
// Every further non-blank line is one specimen with as many fields as the header. The first
// column holds specimen IDs when a word of its name is id, specimen, name, label, sample,
// individual or catalog(ue) (any case) or when none of its values is a number; a first column
// that mixes numbers and words is refused. With a semicolon or tab separator a decimal comma is
// read as a decimal point in every column.
#pragma once

#include <istream>
#include <string>

#include "io/landmark_file_common.hpp"

namespace tesvane {

// With `landmarks` the columns after the IDs are x, y pairs in landmark order (a last column
// named cs or centroid size is dropped) and the result is configuration rows x1 y1 ... xk yk cs,
// cs the centroid size of the coordinates; otherwise the table of the columns after the IDs as
// it is. An empty field or NA is a missing value. DataFileError naming `name` and the line for a
// malformed table, missing values, 3D (z) columns, and columns that cannot be x, y pairs.
DataFileContents read_delimited(std::istream& in, const std::string& name, bool landmarks);

// The fields of one line, unquoted.
std::vector<std::string> split_delimited(std::string_view line, char separator);

}  // namespace tesvane
