#include "io/csv_read.hpp"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "io/landmark_file_lines.hpp"
#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

bool is_missing(std::string_view field) {
    return field.empty() || iequals(field, "NA");
}

// A header names specimen IDs when one of its words (letters and digits between other
// characters) is one of these: "ID", "Specimen", "specimen_no", "Sample ID", "catalog #".
bool names_ids(std::string_view header) {
    std::size_t i = 0;
    while (i < header.size()) {
        const auto alnum = [&](std::size_t k) {
            const auto c = static_cast<unsigned char>(header[k]);
            return std::isalnum(c) != 0;
        };
        if (!alnum(i)) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < header.size() && alnum(j))
            ++j;
        const std::string_view word = header.substr(i, j - i);
        for (const char* n :
             {"id", "specimen", "name", "label", "sample", "individual", "catalog", "catalogue"})
            if (iequals(word, n))
                return true;
        i = j;
    }
    return false;
}

// A field as a number. With a semicolon or tab separator a decimal comma is read as a decimal
// point, in every column alike ("2,5" is 2.5). With a comma separator a comma reaches a field
// only quoted: a quoted "2,5" is refused (DataFileError naming the line).
ParsedNumber with_decimal_comma(std::string_view field) {
    if (field.find('.') != std::string_view::npos || field.find(',') != field.rfind(','))
        return {};  // "1.234,5" or "1,2,3": no number
    std::string point(field);
    point[point.find(',')] = '.';
    return parse_number(point);
}

// A quoted "2,5" in a comma-separated file is refused rather than read as a word (it would make
// a first column of them specimen IDs).
ParsedNumber field_number(std::string_view field, char separator, const std::string& name,
                          int line) {
    if (field.find(',') == std::string_view::npos)
        return parse_number(field);
    const ParsedNumber p = with_decimal_comma(field);
    if (separator == ',' && p.status != NumberStatus::not_a_number) {
        throw DataFileError(name, line,
                            quote_token(field) +
                                " has a decimal comma in a comma-separated file: use a decimal "
                                "point, or separate the fields by semicolons or tabs");
    }
    return p;
}

// Digits with points, commas, signs or exponents that still are no number ("1.000,5"): a
// mistyped value, not a word.
bool looks_numeric(std::string_view field) {
    bool digit = false;
    for (const char c : field) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (std::string_view("+-.,eE").find(c) == std::string_view::npos)
            return false;
    }
    return digit;
}

double field_value(std::string_view field, char separator, const std::string& name, int line) {
    const ParsedNumber p = field_number(field, separator, name, line);
    if (p.status == NumberStatus::ok)
        return p.value;
    return number_at(field, name, line);  // its message
}

bool names_size(std::string_view header) {
    for (const char* n : {"cs", "centroid size", "centroid_size", "csize"})
        if (iequals(header, n))
            return true;
    return false;
}

char axis_letter(std::string_view header) {
    if (header.empty())
        return 0;
    const char c = header[0];
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Coordinate columns named after their axis must come as x, y, x, y, ...
void check_coordinate_names(const std::vector<std::string>& names, std::size_t first,
                            const std::string& file, int line) {
    bool named = true;
    bool has_z = false;
    for (std::size_t j = first; j < names.size(); ++j) {
        const char a = axis_letter(names[j]);
        named = named && (a == 'x' || a == 'y' || a == 'z');
        has_z = has_z || a == 'z';
    }
    if (!named)
        return;
    if (has_z)
        throw DataFileError(file, line, "3D landmarks are not supported (z columns)");
    for (std::size_t j = first; j < names.size(); ++j) {
        const char want = (j - first) % 2 == 0 ? 'x' : 'y';
        if (axis_letter(names[j]) != want) {
            throw DataFileError(file, line,
                                "column " + std::to_string(j + 1) + " (" + quote_token(names[j]) +
                                    ") should be a " + want +
                                    " column: x and y columns alternate in landmark order");
        }
    }
}

}  // namespace

std::vector<std::string> split_delimited(std::string_view line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field.push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            fields.emplace_back(trim(field));
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    fields.emplace_back(trim(field));
    return fields;
}

DataFileContents read_delimited(std::istream& in, const std::string& name, bool landmarks) {
    const std::vector<std::string> lines = read_text_lines(in, name);
    std::size_t h = 0;
    while (h < lines.size() && trim(lines[h]).empty())
        ++h;
    if (h == lines.size())
        throw DataFileError(name, 0, "the file is empty");
    const std::string_view head = lines[h];
    const char sep = head.find('\t') != std::string_view::npos  ? '\t'
                     : head.find(',') != std::string_view::npos ? ','
                                                                : ';';
    const int header_line = static_cast<int>(h) + 1;
    const std::vector<std::string> names = split_delimited(head, sep);
    if (names.size() < 2) {
        throw DataFileError(name, header_line,
                            "expected a header row of column names separated by commas or tabs");
    }

    std::vector<std::vector<std::string>> rows;
    std::vector<int> row_lines;
    for (std::size_t i = h + 1; i < lines.size(); ++i) {
        if (trim(lines[i]).empty())
            continue;
        rows.push_back(split_delimited(lines[i], sep));
        row_lines.push_back(static_cast<int>(i) + 1);
        if (rows.back().size() != names.size()) {
            throw DataFileError(name, row_lines.back(),
                                "expected " + std::to_string(names.size()) +
                                    " fields as in the header, found " +
                                    std::to_string(rows.back().size()));
        }
    }
    if (rows.empty())
        throw DataFileError(name, header_line, "the table has a header row but no data");

    // The first column holds IDs by its name, or when none of its values is a number. A column
    // of numbers and words mixed is neither: a typing slip in data must not turn it into IDs.
    bool id_column = names_ids(names[0]);
    if (!id_column) {
        std::size_t numbers = 0;
        std::size_t words = 0;
        std::size_t first_word = 0;
        std::size_t first_number = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (is_missing(rows[i][0]))
                continue;
            const std::string& f = rows[i][0];
            if (field_number(f, sep, name, row_lines[i]).status == NumberStatus::ok) {
                first_number = numbers++ == 0 ? i : first_number;
            } else if (looks_numeric(f)) {
                throw DataFileError(name, row_lines[i],
                                    quote_token(f) +
                                        " is not a number; name column 1 id if it holds specimen "
                                        "IDs");
            } else {
                first_word = words++ == 0 ? i : first_word;
            }
        }
        id_column = words > 0 && numbers == 0;
        if (words > 0 && numbers > 0) {
            throw DataFileError(
                name, row_lines[first_word],
                "column 1 (" + quote_token(names[0]) + ") holds numbers (line " +
                    std::to_string(row_lines[first_number]) + ") and words (" +
                    quote_token(rows[first_word][0]) +
                    "); name it id if it holds specimen IDs, else correct the value");
        }
    }
    const std::size_t first = id_column ? 1 : 0;
    std::size_t end = names.size();
    if (landmarks && end - first > 1 && names_size(names[end - 1]))
        --end;
    std::vector<std::string> columns(names.begin(), names.begin() + static_cast<long>(end));
    if (landmarks) {
        check_coordinate_names(columns, first, name, header_line);
        if ((end - first) % 2 != 0 || end == first) {
            throw DataFileError(
                name, header_line,
                std::to_string(end - first) + " coordinate columns cannot be x, y pairs");
        }
    } else if (end == first) {
        throw DataFileError(name, header_line, "the table has no column of values");
    }

    DataFileContents out;
    if (id_column)
        for (const auto& r : rows)
            out.ids.push_back(r[0]);
    Matrix x(static_cast<Index>(rows.size()), static_cast<Index>(end - first));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = first; j < end; ++j) {
            const std::string& f = rows[i][j];
            const auto row = static_cast<Index>(i);
            if (is_missing(f)) {
                throw DataFileError(
                    name, row_lines[i],
                    specimen_label(out.ids, row) +
                        (landmarks ? ": landmark " + std::to_string((j - first) / 2 + 1) +
                                         " is missing; missing landmarks are not estimated"
                                   : ": no value for " + quote_token(names[j]) +
                                         "; missing values are not supported"));
            }
            x(row, static_cast<Index>(j - first)) = field_value(f, sep, name, row_lines[i]);
        }
    }
    out.data = landmarks ? with_centroid_size(x) : x;
    for (Index i = 0; i < out.data.rows(); ++i) {
        if (!out.data.row(i).allFinite()) {
            throw DataFileError(
                name, row_lines[static_cast<std::size_t>(i)],
                specimen_label(out.ids, i) + ": the coordinates are too large to be used");
        }
    }
    return out;
}

}  // namespace tesvane
