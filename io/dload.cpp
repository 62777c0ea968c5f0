#include "io/dload.hpp"

#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "io/input_files.hpp"
#include "io/number_parse.hpp"
#include "io/read_whole_file.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kNotPlainText = "not a plain text file (binary or UTF-16?)";

// The physical lines of a text in memory. LF and CR LF end a line, and so does a lone CR:
// files saved by old Mac programs use it, and they would otherwise read as one long line.
class LineReader {
  public:
    LineReader(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    // The next line without its line end; false at the end of the text when nothing is left.
    bool next(std::string_view& line, bool& has_end) {
        has_end = false;
        ++number_;
        if (pos_ >= text_.size()) {
            line = {};
            return false;
        }
        const std::size_t end = text_.find_first_of("\r\n", pos_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        if (stop - pos_ > kMaxLineLength) {
            // A binary file often has no line end at all; say what it is, not how long.
            const std::string_view head = text_.substr(pos_, kMaxLineLength);
            throw DataFileError(name_, number_,
                                head.find('\0') != std::string_view::npos
                                    ? std::string(kNotPlainText)
                                    : "the line is longer than 4 MiB");
        }
        line = text_.substr(pos_, stop - pos_);
        pos_ = stop;
        if (end != std::string_view::npos) {
            has_end = true;
            ++pos_;
            if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
        }
        return true;
    }

    // 1-based number of the line last returned by next().
    int number() const { return number_; }

  private:
    std::string_view text_;
    const std::string& name_;
    std::size_t pos_ = 0;
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
            // Semicolons separate columns only in a table that opens with a row of names.
            const bool semicolons = token.find(';') != std::string_view::npos;
            throw DataFileError(name, line_number,
                                quote_token(token) + " is not a number" +
                                    (semicolons ? "; a table separated by semicolons needs a "
                                                  "header row of column names"
                                                : ""));
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

namespace {

// The lines that hold the data: from the first to the line before the first one-character
// line after it. Counted first, so the matrix is allocated once at its final size.
template <class Visit>
void for_each_data_line(std::string_view text, const std::string& name, Visit visit) {
    LineReader reader(text, name);
    std::string_view line;
    bool has_end = false;
    if (!reader.next(line, has_end))
        throw DataFileError(name, 0, "the file is empty");
    if (line.starts_with(kUtf8Bom)) {
        line.remove_prefix(kUtf8Bom.size());
        if (line.empty() && !has_end)
            throw DataFileError(name, 0, "the file is empty");
    }
    for (;;) {
        visit(line, reader.number());
        // Only the first line may be a single character; after it such a line ends the data.
        if (!reader.next(line, has_end))
            break;
        if (line.size() + (has_end ? 1 : 0) == 1)
            break;
    }
}

}  // namespace

Matrix read_numeric_table(std::string_view text, const std::string& name) {
    Index rows = 0;
    try {
        for_each_data_line(text, name, [&](std::string_view, int) { ++rows; });
    } catch (const DataFileError&) {
        // The second pass reports it, after any fault on an earlier line.
        ++rows;
    }

    Matrix x;
    std::vector<double> values;  // one row
    std::size_t cols = 0;
    Index row = 0;
    for_each_data_line(text, name, [&](std::string_view line, int number) {
        if (line.find('\0') != std::string_view::npos)
            throw DataFileError(name, number, std::string(kNotPlainText));
        values.clear();
        const std::size_t count = parse_line(line, name, number, values);
        if (row == 0) {
            if (count == 0)
                throw DataFileError(name, 1, "the first line holds no numbers");
            cols = count;
            x.resize(rows, static_cast<Index>(cols));
        } else if (count != cols) {
            throw DataFileError(
                name, number,
                "expected " + numbers(cols) + " as on line 1, found " + std::to_string(count));
        }
        for (std::size_t j = 0; j < cols; ++j)
            x(row, static_cast<Index>(j)) = values[j];
        ++row;
    });
    return x;
}

Matrix read_numeric_table(std::istream& in, const std::string& name) {
    std::ostringstream s;
    s << in.rdbuf();
    // str(), not view(): the WebAssembly build's library has no view() yet.
    const std::string text = s.str();
    return read_numeric_table(std::string_view(text), name);
}

Matrix dload(const std::string& fname) {
    // Read once: a pipe or FIFO cannot be read again.
    const std::optional<std::string> text = read_whole_file(fname);
    if (!text)
        return Matrix::Constant(1, 1, -1.0);
    note_input_file(fname);
    return read_numeric_table(std::string_view(*text), fname);
}

}  // namespace tesvane
