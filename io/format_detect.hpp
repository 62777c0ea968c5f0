// Which reader a data file needs, told from its first lines rather than its name.
#pragma once

#include <cstddef>
#include <string_view>

namespace tesvane {

// How much of a file the detection looks at: enough to find the first non-blank line of any
// real file.
inline constexpr std::size_t kFormatHeadBytes = 64 * 1024;

enum class DataFormat { plain, tps, nts, delimited };

// The format of a file that starts with `head`, judged by its first non-blank line:
// - TPS when it is an LM= or LM3= line (any case);
// - NTS when it starts a comment (a double quote that does not open a quoted field) or is a
//   header "1 n p 0|1 ..." that names a DIM= or labels (an L after n or p);
// - delimited when its fields, split at tabs, commas or semicolons, are two or more names and
//   none of them a number;
// - plain otherwise. A line that the plain reader reads as numbers is never taken for another
//   format, so plain files load as they always did.
DataFormat detect_format(std::string_view head);

}  // namespace tesvane
