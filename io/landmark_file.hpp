// Reading a block from any of the data file formats: plain numeric text, TPS, NTS and delimited
// tables with a header row, told apart by their contents (detect_format).
#pragma once

#include <string>

#include "io/format_detect.hpp"
#include "io/landmark_file_common.hpp"
#include "io/sha256.hpp"
#include "io/tps_read.hpp"

namespace tesvane {

// The block in `path`: a plain file exactly as dload reads it (the 1 x 1 matrix -1 when the
// file cannot be opened), the other formats as configuration rows x1 y1 ... xk yk cs when
// `landmarks`, as a table of variables otherwise, with their specimen IDs. A TPS file always
// holds landmarks: read as variables it is a DataFileError. Parse failures are DataFileErrors
// naming the path and line. With `digest`, the size and SHA-256 of the bytes read go there.
DataFileContents read_data_file(const std::string& path, bool landmarks, const TpsOptions& tps = {},
                                FileDigest* digest = nullptr);

// The same from a stream (the whole stream is read); `name` is the name messages give.
DataFileContents read_data_stream(std::istream& in, const std::string& name, bool landmarks,
                                  const TpsOptions& tps = {});

}  // namespace tesvane
