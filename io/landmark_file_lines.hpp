// The text of a landmark file as lines and fields, for the readers of TPS, NTS and delimited
// files, which look at a file as a whole rather than one numeric row a line.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tesvane {

// All lines of the stream, line ends removed (LF, CR LF and a lone CR each end a line), a UTF-8
// byte-order mark skipped. Line i of the file is element i - 1. DataFileError naming `name` for
// a NUL byte (a binary or UTF-16 file) or a line longer than kMaxLineLength.
std::vector<std::string> read_text_lines(std::istream& in, const std::string& name);

// The text without blanks, tabs and line ends on either side.
std::string_view trim(std::string_view s);
// The words of a line separated by blanks and tabs.
std::vector<std::string_view> split_blanks(std::string_view s);
// ASCII comparison ignoring case.
bool iequals(std::string_view a, std::string_view b);

// A number token of a data line; DataFileError naming file and line as dload words it when the
// token is not a plain decimal number or is out of range.
double number_at(std::string_view token, const std::string& name, int line);

// "KEY=value" at the start of a line: the key (letters and digits before the first "=", blanks
// around it allowed) and the value after it. An empty key when the line is no key line.
struct KeyLine {
    std::string_view key;
    std::string_view value;
};
KeyLine key_line(std::string_view line);

}  // namespace tesvane
