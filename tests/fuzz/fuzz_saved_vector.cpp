// Fuzz target of the saved axis and reference files: whatever values are saved, the data reader
// reads the file back as one row of the same values at "%g" precision, or, for a value that has
// no plain decimal form (inf, nan), rejects it with a message naming the file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "io/dload.hpp"
#include "io/saved_vector.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

}  // namespace

// Input: one byte of label length, the label (printable, as the program's labels are), then the
// values as raw doubles.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t label_size = std::min<std::size_t>(data[0] % 64, size - 1);
    std::string label;
    for (std::size_t i = 0; i < label_size; ++i) {
        const char c = static_cast<char>(data[1 + i]);
        label += (c >= 0x20 && c < 0x7F) ? c : ' ';
    }
    const std::size_t rest = size - 1 - label_size;
    const auto n = static_cast<tesvane::Index>(rest / sizeof(double));
    tesvane::Matrix values(1, n);
    for (tesvane::Index j = 0; j < n; ++j)
        std::memcpy(&values(0, j), data + 1 + label_size + sizeof(double) * j, sizeof(double));

    const std::string text = tesvane::saved_vector_text(values, label);
    std::istringstream in(text, std::ios::in | std::ios::binary);
    try {
        const tesvane::Matrix back = tesvane::read_numeric_table(in, "saved.txt");
        check(values.allFinite() && n > 0);
        check(back.rows() == 1 && back.cols() == n);
        for (tesvane::Index j = 0; j < n; ++j) {
            const double want = std::strtod(tesvane::cformat("%g", values(0, j)).c_str(), nullptr);
            check(back(0, j) == want);
        }
    } catch (const tesvane::DataFileError& e) {
        check((!values.allFinite() || n == 0) && e.file() == "saved.txt" && e.line() <= 1);
    }
    return 0;
}
