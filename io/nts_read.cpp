#include "io/nts_read.hpp"

#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "io/landmark_file_lines.hpp"
#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

struct Word {
    std::string_view text;
    int line;
};

// The words of the file outside comments, with their lines.
std::vector<Word> words_of(const std::vector<std::string>& lines) {
    std::vector<Word> words;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = std::string_view(lines[i]).substr(0, lines[i].find('"'));
        for (const std::string_view w : split_blanks(text))
            words.push_back({w, static_cast<int>(i) + 1});
    }
    return words;
}

struct Dimension {
    Index count = 0;
    bool labelled = false;
};

Dimension dimension(std::string_view w, const std::string& name, int line, const char* what) {
    Dimension d;
    if (!w.empty() && (w.back() == 'L' || w.back() == 'l')) {
        d.labelled = true;
        w.remove_suffix(1);
    }
    const ParsedNumber p = parse_number(w);
    if (p.status != NumberStatus::ok || p.value < 1 || p.value != std::floor(p.value) ||
        p.value > 1e7) {
        throw DataFileError(
            name, line,
            std::string("the header needs the number of ") + what + ", found " + quote_token(w));
    }
    d.count = static_cast<Index>(p.value);
    return d;
}

}  // namespace

DataFileContents read_nts(std::istream& in, const std::string& name, bool landmarks) {
    const std::vector<std::string> lines = read_text_lines(in, name);
    const std::vector<Word> words = words_of(lines);
    if (words.empty())
        throw DataFileError(name, 0, "the file holds no NTS header");

    // The header is the whole first line that holds words.
    const int header_line = words[0].line;
    std::size_t at = 0;
    std::vector<std::string_view> header;
    while (at < words.size() && words[at].line == header_line)
        header.push_back(words[at++].text);
    std::optional<double> dim;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const KeyLine k = key_line(header[i]);
        if (iequals(k.key, "DIM")) {
            dim = number_at(k.value, name, header_line);
            header.resize(i);
            break;
        }
    }
    if (header.size() < 4 || (header[3] != "0" && header[3] != "1")) {
        throw DataFileError(name, header_line,
                            "expected the NTS header \"1 rows columns 0|1 [missing] [DIM=2]\"");
    }
    if (header[0] != "1") {
        throw DataFileError(name, header_line,
                            "matrix type " + quote_token(header[0]) +
                                " is not supported; only 1 (a rectangular data matrix) is");
    }
    if (dim && *dim != 2) {
        throw DataFileError(name, header_line,
                            *dim == 3 ? "3D landmarks are not supported (DIM=3)"
                                      : "only two-dimensional landmarks (DIM=2) are supported");
    }
    const Dimension rows = dimension(header[1], name, header_line, "rows");
    const Dimension cols = dimension(header[2], name, header_line, "columns");
    std::optional<double> missing;
    if (header[3] == "1") {
        if (header.size() < 5)
            throw DataFileError(name, header_line, "the header announces missing data but no code");
        missing = number_at(header[4], name, header_line);
    }
    if (header.size() > (missing ? 5u : 4u)) {
        throw DataFileError(
            name, header_line,
            "unexpected " + quote_token(header[missing ? 5 : 4]) + " in the header");
    }
    if (landmarks && cols.count % 2 != 0) {
        throw DataFileError(name, header_line,
                            std::to_string(cols.count) + " columns cannot be x, y pairs");
    }

    DataFileContents out;
    auto take_labels = [&](Index n, std::vector<std::string>* keep) {
        for (Index i = 0; i < n; ++i) {
            if (at == words.size())
                throw DataFileError(name, 0, "the file ends inside the labels");
            if (keep)
                keep->emplace_back(words[at].text);
            ++at;
        }
    };
    if (rows.labelled)
        take_labels(rows.count, &out.ids);
    if (cols.labelled)
        take_labels(cols.count, nullptr);

    if (static_cast<double>(words.size() - at) <
        static_cast<double>(rows.count) * static_cast<double>(cols.count)) {
        throw DataFileError(name, 0,
                            "the file ends after " + std::to_string(words.size() - at) + " of " +
                                std::to_string(rows.count) + " x " + std::to_string(cols.count) +
                                " values");
    }
    Matrix x(rows.count, cols.count);
    for (Index i = 0; i < rows.count; ++i) {
        for (Index j = 0; j < cols.count; ++j) {
            const Word& w = words[at++];
            x(i, j) = number_at(w.text, name, w.line);
            if (missing && x(i, j) == *missing) {
                throw DataFileError(
                    name, w.line,
                    specimen_label(out.ids, i) +
                        (landmarks ? ": landmark " + std::to_string(j / 2 + 1) +
                                         " is missing; missing landmarks are not estimated"
                                   : ": the value of column " + std::to_string(j + 1) +
                                         " is missing; missing values are not supported"));
            }
        }
    }
    if (at != words.size()) {
        throw DataFileError(name, words[at].line,
                            "more values than the header announces (" + std::to_string(rows.count) +
                                " x " + std::to_string(cols.count) + ")");
    }
    out.data = landmarks ? with_centroid_size(x) : x;
    for (Index i = 0; i < out.data.rows(); ++i) {
        if (!out.data.row(i).allFinite()) {
            throw DataFileError(
                name, 0, specimen_label(out.ids, i) + ": the coordinates are too large to be used");
        }
    }
    return out;
}

}  // namespace tesvane
