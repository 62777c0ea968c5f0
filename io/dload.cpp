#include "io/dload.hpp"

#include <filesystem>
#include <fstream>
#include <streambuf>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kNotPlainText = "not a plain text file (binary or UTF-16?)";

// Reads physical lines straight from the stream buffer, so that a line is never held beyond
// kMaxLineLength. LF and CR LF end a line, and so does a lone CR: files saved by old Mac
// programs use it, and they would otherwise read as one long line.
class LineReader {
  public:
    LineReader(std::istream& in, const std::string& name) : buf_(in.rdbuf()), name_(name) {}

    // The next line without its line end; false at the end of the file when nothing is left.
    bool next(std::string& text, bool& has_end) {
        using traits = std::streambuf::traits_type;
        text.clear();
        has_end = false;
        ++number_;
        if (buf_ == nullptr)
            return false;
        for (;;) {
            const traits::int_type c = buf_->sbumpc();
            if (traits::eq_int_type(c, traits::eof()))
                return !text.empty();
            const char ch = traits::to_char_type(c);
            if (ch == '\n' || ch == '\r') {
                if (ch == '\r' && traits::eq_int_type(buf_->sgetc(), traits::to_int_type('\n'))) {
                    buf_->sbumpc();
                }
                has_end = true;
                return true;
            }
            if (text.size() == kMaxLineLength) {
                // A binary file often has no line end at all; say what it is, not how long.
                throw DataFileError(name_, number_,
                                    text.find('\0') != std::string::npos
                                        ? std::string(kNotPlainText)
                                        : "the line is longer than 4 MiB");
            }
            text.push_back(ch);
        }
    }

    // 1-based number of the line last returned by next().
    int number() const { return number_; }

  private:
    std::streambuf* buf_;
    const std::string& name_;
    int number_ = 0;
};

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

// Appends the numbers of one line (comment removed) to `values`; returns how many there were.
std::size_t parse_line(std::string_view line, const std::string& name, int line_number,
                       std::vector<double>& values) {
    line = line.substr(0, line.find('%'));
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        if (is_separator(line[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < line.size() && !is_separator(line[j]))
            ++j;
        const std::string_view token = line.substr(i, j - i);
        const ParsedNumber p = parse_number(token);
        if (p.status == NumberStatus::not_a_number) {
            throw DataFileError(name, line_number, quote_token(token) + " is not a number");
        }
        if (p.status == NumberStatus::out_of_range) {
            throw DataFileError(name, line_number, quote_token(token) + " is out of range");
        }
        values.push_back(p.value);
        ++count;
        i = j;
    }
    return count;
}

std::string numbers(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " number" : " numbers");
}

}  // namespace

Matrix read_numeric_table(std::istream& in, const std::string& name) {
    LineReader reader(in, name);
    std::string line;
    bool has_end = false;
    if (!reader.next(line, has_end))
        throw DataFileError(name, 0, "the file is empty");
    if (std::string_view(line).starts_with(kUtf8Bom)) {
        line.erase(0, kUtf8Bom.size());
        if (line.empty() && !has_end)
            throw DataFileError(name, 0, "the file is empty");
    }

    std::vector<double> values;  // row by row
    std::size_t cols = 0;
    Index rows = 0;
    for (;;) {
        if (line.find('\0') != std::string::npos) {
            throw DataFileError(name, reader.number(), std::string(kNotPlainText));
        }
        const std::size_t count = parse_line(line, name, reader.number(), values);
        if (rows == 0) {
            if (count == 0)
                throw DataFileError(name, 1, "the first line holds no numbers");
            cols = count;
        } else if (count != cols) {
            throw DataFileError(
                name, reader.number(),
                "expected " + numbers(cols) + " as on line 1, found " + std::to_string(count));
        }
        ++rows;
        // Only the first line may be a single character; after it such a line ends the data.
        if (!reader.next(line, has_end))
            break;
        if (line.size() + (has_end ? 1 : 0) == 1)
            break;
    }

    const auto c = static_cast<Index>(cols);
    return Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(
        values.data(), rows, c);
}

Matrix dload(const std::string& fname) {
    const Matrix unreadable = Matrix::Constant(1, 1, -1.0);
    std::error_code ec;
    // A directory opens as a stream on some systems and then reads as empty.
    if (std::filesystem::is_directory(fname, ec))
        return unreadable;
    // Binary mode: line ends are sorted out by the reader, the same on every system.
    std::ifstream in(fname, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return unreadable;
    return read_numeric_table(in, fname);
}

}  // namespace tesvane
