#include "io/csv_write.hpp"

#include "io/atomic_file.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

std::string field(const std::string& text) {
    if (text.find_first_of(",\"\t;") == std::string::npos)
        return text;
    std::string q = "\"";
    for (const char c : text)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

}  // namespace

std::string csv_text(const Matrix& rows, const std::vector<std::string>& ids) {
    if (rows.size() == 0)
        throw Error("writecsv: the matrix is empty");
    if (!ids.empty() && ids.size() != static_cast<std::size_t>(rows.rows())) {
        throw Error(cformat("writecsv: %i IDs for %i rows", static_cast<int>(ids.size()),
                            static_cast<int>(rows.rows())));
    }
    const Index p = rows.cols();
    std::string s = ids.empty() ? "" : "id";
    for (Index j = 0; j < p; ++j) {
        if (!s.empty())
            s += ",";
        if (p % 2 == 0 || p < 3)
            s += cformat("v%i", static_cast<int>(j + 1));
        else if (j == p - 1)
            s += "cs";
        else
            s += cformat(j % 2 == 0 ? "x%i" : "y%i", static_cast<int>(j / 2 + 1));
    }
    s += "\n";
    for (Index i = 0; i < rows.rows(); ++i) {
        std::string line = ids.empty() ? "" : field(ids[static_cast<std::size_t>(i)]) + ",";
        for (Index j = 0; j < p; ++j)
            line += cformat(j ? ",%.17g" : "%.17g", rows(i, j));
        s += line + "\n";
    }
    return s;
}

void writecsv(const std::string& path, const Matrix& rows, const std::vector<std::string>& ids) {
    write_file_atomically(path, csv_text(rows, ids));
}

}  // namespace tesvane
