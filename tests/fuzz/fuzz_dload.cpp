// libFuzzer target for the data file reader (configure with clang++ and -DTESVANE_FUZZ=ON), e.g.
//   build/tests/io/fuzz_dload tests/io/corpus/dload
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dload_fuzz.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!tesvane::test::dload_keeps_its_contract(bytes))
        std::abort();
    return 0;
}
