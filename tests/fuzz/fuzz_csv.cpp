// Fuzz target of the delimited table reader: any bytes read, as landmarks and as variables, into
// a block of finite values or fail with a message naming the file; a table of variables read
// writes back as CSV and reads again the same.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "io/csv_read.hpp"
#include "io/csv_write.hpp"
#include "landmark_contract.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tesvane;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const bool landmarks : {true, false}) {
        std::istringstream in(bytes, std::ios::in | std::ios::binary);
        DataFileContents c;
        try {
            c = read_delimited(in, "fuzz.csv", landmarks);
        } catch (const DataFileError& e) {
            test::check_error(e, "fuzz.csv");
            continue;
        }
        test::check_block(c, landmarks);
        if (!landmarks) {
            std::istringstream again(csv_text(c.data, c.ids), std::ios::in | std::ios::binary);
            const DataFileContents back = read_delimited(again, "again.csv", false);
            test::check(back.data == c.data && back.ids == c.ids);
        }
    }
    return 0;
}
