// The property every input of the data file reader must keep, shared by its fuzz target and the
// replay of its corpus.
#pragma once

#include <sstream>
#include <string>
#include <string_view>

#include "io/dload.hpp"
#include "platform/error.hpp"

namespace tesvane::test {

// Any bytes either read as a non-empty table of finite numbers or fail with a DataFileError that
// names the file; nothing else may escape.
inline bool dload_keeps_its_contract(std::string_view bytes) {
    std::istringstream in(std::string(bytes), std::ios::in | std::ios::binary);
    try {
        const Matrix x = read_numeric_table(in, "fuzz.txt");
        return x.rows() >= 1 && x.cols() >= 1 && x.allFinite();
    } catch (const DataFileError& e) {
        return e.file() == "fuzz.txt" && e.line() >= 0;
    }
}

}  // namespace tesvane::test
