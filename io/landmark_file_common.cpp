#include "io/landmark_file_common.hpp"

#include <algorithm>

#include "geometry/centsize.hpp"

namespace tesvane {

Matrix with_centroid_size(const Matrix& coordinates) {
    Matrix rows(coordinates.rows(), coordinates.cols() + 1);
    rows.leftCols(coordinates.cols()) = coordinates;
    rows.rightCols(1) = centsize(coordinates);
    return rows;
}

std::string specimen_label(const std::vector<std::string>& ids, Index row) {
    std::string s = "specimen " + std::to_string(row + 1);
    if (row >= 0 && static_cast<std::size_t>(row) < ids.size() &&
        !ids[static_cast<std::size_t>(row)].empty())
        s += " (\"" + ids[static_cast<std::size_t>(row)] + "\")";
    return s;
}

std::string join_ids(const std::vector<std::string>& ids) {
    std::string s;
    for (std::size_t i = 0; i < ids.size(); ++i)
        s += (i ? "\n" : "") + ids[i];
    return s;
}

std::vector<std::string> split_ids(const std::string& text) {
    std::vector<std::string> ids;
    if (text.empty())
        return ids;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        ids.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return ids;
        start = end + 1;
    }
}

std::optional<std::size_t> first_id_mismatch(const std::vector<std::string>& a,
                                             const std::vector<std::string>& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            return i;
    return std::nullopt;
}

}  // namespace tesvane
