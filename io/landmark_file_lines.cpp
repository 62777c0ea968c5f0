#include "io/landmark_file_lines.hpp"

#include <streambuf>

#include "io/dload.hpp"
#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace tesvane {

std::vector<std::string> read_text_lines(std::istream& in, const std::string& name) {
    using traits = std::streambuf::traits_type;
    std::vector<std::string> lines;
    std::streambuf* buf = in.rdbuf();
    if (buf == nullptr)
        return lines;
    std::string text;
    bool open = false;  // a line has begun and not yet ended
    for (;;) {
        const traits::int_type c = buf->sbumpc();
        if (traits::eq_int_type(c, traits::eof()))
            break;
        const char ch = traits::to_char_type(c);
        open = true;
        if (ch == '\n' || ch == '\r') {
            if (ch == '\r' && traits::eq_int_type(buf->sgetc(), traits::to_int_type('\n')))
                buf->sbumpc();
            lines.push_back(std::move(text));
            text.clear();
            open = false;
            continue;
        }
        const int line = static_cast<int>(lines.size()) + 1;
        if (ch == '\0')
            throw DataFileError(name, line, "not a plain text file (binary or UTF-16?)");
        if (text.size() == kMaxLineLength)
            throw DataFileError(name, line, "the line is longer than 4 MiB");
        text.push_back(ch);
    }
    if (open)
        lines.push_back(std::move(text));
    if (!lines.empty() && std::string_view(lines[0]).starts_with("\xEF\xBB\xBF"))
        lines[0].erase(0, 3);
    return lines;
}

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> split_blanks(std::string_view s) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == ' ' || s[i] == '\t') {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t')
            ++j;
        words.push_back(s.substr(i, j - i));
        i = j;
    }
    return words;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

double number_at(std::string_view token, const std::string& name, int line) {
    const ParsedNumber p = parse_number(token);
    if (p.status == NumberStatus::not_a_number)
        throw DataFileError(name, line, quote_token(token) + " is not a number");
    if (p.status == NumberStatus::out_of_range)
        throw DataFileError(name, line, quote_token(token) + " is out of range");
    return p.value;
}

KeyLine key_line(std::string_view line) {
    line = trim(line);
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return {};
    const std::string_view key = trim(line.substr(0, eq));
    const auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (key.empty() || !alpha(key[0]))
        return {};
    for (const char c : key)
        if (!alpha(c) && !(c >= '0' && c <= '9'))
            return {};
    return {key, trim(line.substr(eq + 1))};
}

}  // namespace tesvane
