// Fuzz target of the NTS reader: any bytes read, as landmarks and as variables, into a block of
// finite values or fail with a message naming the file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "io/nts_read.hpp"
#include "landmark_contract.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tesvane;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const bool landmarks : {true, false}) {
        std::istringstream in(bytes, std::ios::in | std::ios::binary);
        try {
            test::check_block(read_nts(in, "fuzz.nts", landmarks), landmarks);
        } catch (const DataFileError& e) {
            test::check_error(e, "fuzz.nts");
        }
    }
    return 0;
}
