#include "io/tps_write.hpp"

#include "io/atomic_file.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

std::string tps_text(const Matrix& rows, const std::vector<std::string>& ids) {
    if (rows.cols() < 3 || rows.cols() % 2 == 0) {
        throw Error(cformat(
            "writetps: rows of x1 y1 ... xk yk cs need an odd number of columns, at least 3; "
            "the matrix has %i",
            static_cast<int>(rows.cols())));
    }
    if (!ids.empty() && ids.size() != static_cast<std::size_t>(rows.rows())) {
        throw Error(cformat("writetps: %i IDs for %i rows", static_cast<int>(ids.size()),
                            static_cast<int>(rows.rows())));
    }
    const Index k = rows.cols() / 2;
    std::string s;
    for (Index i = 0; i < rows.rows(); ++i) {
        s += cformat("LM=%i\n", static_cast<int>(k));
        for (Index j = 0; j < k; ++j)
            s += cformat("%.17g %.17g\n", rows(i, 2 * j), rows(i, 2 * j + 1));
        if (!ids.empty())
            s += "ID=" + ids[static_cast<std::size_t>(i)] + "\n";
    }
    return s;
}

void writetps(const std::string& path, const Matrix& rows, const std::vector<std::string>& ids) {
    write_file_atomically(path, tps_text(rows, ids));
}

}  // namespace tesvane
