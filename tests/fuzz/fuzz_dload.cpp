// Fuzz target of the data file reader: any bytes read as a table of finite numbers or fail with
// a message naming the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dload_contract.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!tesvane::test::dload_keeps_its_contract(bytes))
        std::abort();
    return 0;
}
