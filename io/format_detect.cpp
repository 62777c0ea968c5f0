#include "io/format_detect.hpp"

#include <string>
#include <vector>

#include "io/csv_read.hpp"
#include "io/landmark_file_lines.hpp"
#include "io/number_parse.hpp"

namespace tesvane {
namespace {

std::string_view first_nonblank_line(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (!trim(line).empty())
            return trim(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return {};
}

bool is_count(std::string_view w, bool allow_label) {
    if (allow_label && !w.empty() && (w.back() == 'L' || w.back() == 'l'))
        w.remove_suffix(1);
    if (w.empty())
        return false;
    for (const char c : w)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool is_nts_header(std::string_view line) {
    const std::vector<std::string_view> w = split_blanks(line);
    if (w.size() < 4 || w[0] != "1" || !is_count(w[1], true) || !is_count(w[2], true))
        return false;
    bool named =
        w[1].back() == 'L' || w[1].back() == 'l' || w[2].back() == 'L' || w[2].back() == 'l';
    for (const std::string_view t : w)
        named = named || iequals(key_line(t).key, "DIM");
    return named;
}

// A quoted first field closed before the first separator: the start of a delimited header.
bool opens_quoted_field(std::string_view line) {
    std::size_t i = 1;
    while (i < line.size()) {
        if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                i += 2;
                continue;
            }
            const std::string_view rest = trim(line.substr(i + 1));
            return !rest.empty() && (rest[0] == ',' || rest[0] == '\t' || rest[0] == ';');
        }
        ++i;
    }
    return false;
}

bool is_delimited_header(std::string_view line) {
    const char sep = line.find('\t') != std::string_view::npos  ? '\t'
                     : line.find(',') != std::string_view::npos ? ','
                     : line.find(';') != std::string_view::npos ? ';'
                                                                : '\0';
    if (sep == '\0')
        return false;
    const std::vector<std::string> fields = split_delimited(line, sep);
    if (fields.size() < 2)
        return false;
    bool named = false;
    for (const std::string& f : fields) {
        if (parse_number(f).status != NumberStatus::not_a_number)
            return false;
        named = named || !f.empty();
    }
    return named;
}

// The plain reader's view of a first line: numbers separated by blanks, commas or tabs before
// an optional "%" comment.
bool reads_as_numbers(std::string_view line) {
    line = line.substr(0, line.find('%'));
    bool any = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const auto sep = [&](std::size_t k) {
            return line[k] == ' ' || line[k] == '\t' || line[k] == ',';
        };
        if (sep(i)) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < line.size() && !sep(j))
            ++j;
        if (parse_number(line.substr(i, j - i)).status == NumberStatus::not_a_number)
            return false;
        any = true;
        i = j;
    }
    return any;
}

}  // namespace

DataFormat detect_format(std::string_view head) {
    const std::string_view line = first_nonblank_line(head);
    if (line.empty() || reads_as_numbers(line))
        return DataFormat::plain;
    const std::string_view key = key_line(line).key;
    if (iequals(key, "LM") || iequals(key, "LM3"))
        return DataFormat::tps;
    if (line[0] == '"' && !opens_quoted_field(line))
        return DataFormat::nts;
    if (is_nts_header(line))
        return DataFormat::nts;
    // A plain file may open with a comment; whatever it holds, it stays plain.
    if (line[0] != '%' && is_delimited_header(line))
        return DataFormat::delimited;
    return DataFormat::plain;
}

}  // namespace tesvane
