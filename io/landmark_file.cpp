#include "io/landmark_file.hpp"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "io/csv_read.hpp"
#include "io/dload.hpp"
#include "io/nts_read.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

// Enough of the file to find its first non-blank line in any real file.
constexpr std::size_t kHeadBytes = 64 * 1024;

std::string head_of(std::istream& in) {
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

DataFileContents read_detected(DataFormat format, std::istream& in, const std::string& name,
                               bool landmarks, const TpsOptions& tps) {
    switch (format) {
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
    return {read_numeric_table(in, name), {}};
}

}  // namespace

DataFileContents read_data_stream(std::istream& in, const std::string& name, bool landmarks,
                                  const TpsOptions& tps) {
    std::ostringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    std::istringstream whole(text, std::ios::in | std::ios::binary);
    const DataFormat format = detect_format(std::string_view(text).substr(0, kHeadBytes));
    return read_detected(format, whole, name, landmarks, tps);
}

DataFileContents read_data_file(const std::string& path, bool landmarks, const TpsOptions& tps) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return {dload(path), {}};
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return {dload(path), {}};
    const DataFormat format = detect_format(head_of(in));
    if (format == DataFormat::plain)
        return {dload(path), {}};
    in.clear();
    in.seekg(0);
    return read_detected(format, in, path, landmarks, tps);
}

}  // namespace tesvane
