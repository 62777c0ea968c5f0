// Fuzz target of the TPS reader: any bytes read, under every option, as configuration rows or
// fail with a message naming the file; what is read writes back as TPS and reads again the same.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "io/tps_read.hpp"
#include "io/tps_write.hpp"
#include "landmark_contract.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tesvane;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const TpsOptions options : {TpsOptions{}, TpsOptions{true, true}}) {
        std::istringstream in(bytes, std::ios::in | std::ios::binary);
        DataFileContents c;
        try {
            c = read_tps(in, "fuzz.tps", options);
        } catch (const DataFileError& e) {
            test::check_error(e, "fuzz.tps");
            continue;
        }
        test::check_block(c, true);
        std::istringstream again(tps_text(c.data, c.ids), std::ios::in | std::ios::binary);
        const DataFileContents back = read_tps(again, "again.tps");
        test::check(back.data == c.data && back.ids == c.ids);
    }
    return 0;
}
