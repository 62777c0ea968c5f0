// What every result of the landmark file readers must be, shared by their fuzz targets.
#pragma once

#include <cstdlib>
#include <string>

#include "io/landmark_file_common.hpp"
#include "platform/error.hpp"

namespace tesvane::test {

inline void check(bool ok) {
    if (!ok)
        std::abort();
}

// A block of finite values with an ID per row or none; configuration rows when `landmarks`
// (x, y pairs and a centroid size that is not negative).
inline void check_block(const DataFileContents& c, bool landmarks) {
    check(c.data.rows() >= 1 && c.data.cols() >= 1 && c.data.allFinite());
    check(c.ids.empty() || c.ids.size() == static_cast<std::size_t>(c.data.rows()));
    if (landmarks)
        check(c.data.cols() >= 3 && c.data.cols() % 2 == 1 &&
              c.data.col(c.data.cols() - 1).minCoeff() >= 0);
}

inline void check_error(const DataFileError& e, const std::string& name) {
    check(e.file() == name && e.line() >= 0);
}

}  // namespace tesvane::test
