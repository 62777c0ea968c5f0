// Fuzz target of the format detection: whatever the plain reader reads is detected as plain, so
// plain files load as before, and any bytes go through the detected reader to a block or to a
// message naming the file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "io/dload.hpp"
#include "io/landmark_file.hpp"
#include "landmark_contract.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tesvane;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    bool plain_reads = true;
    try {
        std::istringstream in(bytes, std::ios::in | std::ios::binary);
        read_numeric_table(in, "fuzz.txt");
    } catch (const DataFileError&) {
        plain_reads = false;
    }
    test::check(!plain_reads || detect_format(bytes) == DataFormat::plain);
    for (const bool landmarks : {true, false}) {
        std::istringstream in(bytes, std::ios::in | std::ios::binary);
        try {
            const DataFileContents c = read_data_stream(in, "fuzz.txt", landmarks);
            test::check(c.data.rows() >= 1 && c.data.cols() >= 1 && c.data.allFinite());
        } catch (const DataFileError& e) {
            test::check_error(e, "fuzz.txt");
        }
    }
    return 0;
}
