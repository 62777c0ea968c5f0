// The reader of every input file: landmark and variable data, templates, correspondence lists and
// the reference angle file.
//
// One line of text is one row of numbers separated by blanks, commas or tabs (a run of them counts
// as one). "%" starts a comment that runs to the end of the line. The data end at the end of the
// file or at the first line after the first that holds exactly one character, in practice an
// empty line; that line and everything after it are ignored, so a last line of one character with
// no line end is dropped too. LF, CR LF and a lone CR all end a line. A UTF-8 byte-order mark at
// the start is skipped.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

#include "platform/matrix.hpp"

namespace tesvane {

// Longest line accepted, line end excluded: far beyond any real data line, and it keeps a binary
// file without line ends from filling memory.
inline constexpr std::size_t kMaxLineLength = std::size_t{4} << 20;

// The matrix of a file, or the 1 x 1 matrix holding -1 when the file cannot be opened for reading
// (a directory included). The file is read once into memory (pipes and FIFOs work) and noted as
// an input file (io/input_files). Throws DataFileError when the contents are not a numeric table.
Matrix dload(const std::string& fname);

// The same from a text in memory or a stream; `name` is the file name that error messages give.
Matrix read_numeric_table(std::string_view text, const std::string& name);
Matrix read_numeric_table(std::istream& in, const std::string& name);

}  // namespace tesvane
