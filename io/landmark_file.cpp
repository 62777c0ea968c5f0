#include "io/landmark_file.hpp"

#include <optional>
#include <sstream>
#include <string_view>

#include "io/csv_read.hpp"
#include "io/dload.hpp"
#include "io/input_files.hpp"
#include "io/memory_stream.hpp"
#include "io/nts_read.hpp"
#include "io/read_whole_file.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

DataFileContents read_detected(std::string_view text, const std::string& name, bool landmarks,
                               const TpsOptions& tps) {
    MemoryStream in(text);
    switch (detect_format(text.substr(0, kFormatHeadBytes))) {
        case DataFormat::tps:
            if (!landmarks) {
                throw DataFileError(name, 0,
                                    "a TPS file holds landmarks; block 2 is set to variables");
            }
            return read_tps(in, name, tps);
        case DataFormat::nts:
            return read_nts(in, name, landmarks);
        case DataFormat::delimited:
            return read_delimited(in, name, landmarks);
        case DataFormat::plain:
            break;
    }
    return {read_numeric_table(text, name), {}};
}

}  // namespace

DataFileContents read_data_stream(std::istream& in, const std::string& name, bool landmarks,
                                  const TpsOptions& tps) {
    std::ostringstream s;
    s << in.rdbuf();
    // str(), not view(): the WebAssembly build's library has no view() yet.
    const std::string text = s.str();
    return read_detected(text, name, landmarks, tps);
}

DataFileContents read_data_file(const std::string& path, bool landmarks, const TpsOptions& tps,
                                FileDigest* digest) {
    // One read into memory: the format is told from the same buffer the reader parses, so a
    // pipe or FIFO loads whole.
    const std::optional<std::string> text = read_whole_file(path);
    if (!text)
        return {Matrix::Constant(1, 1, -1.0), {}};
    note_input_file(path);
    if (digest)
        *digest = {text->size(), sha256_hex(*text)};
    return read_detected(*text, path, landmarks, tps);
}

}  // namespace tesvane
