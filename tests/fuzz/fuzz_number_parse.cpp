// Fuzz target of the number parser behind data files and the numbers typed into controls. Each
// verdict is checked against an independent reading: the grammar as a regular expression and the
// value from strtod, which is correctly rounded like from_chars.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <regex>
#include <string>
#include <string_view>

#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace {

using tesvane::NumberStatus;

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool plain_decimal(const std::string& t) {
    static const std::regex grammar(R"([+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    return std::regex_match(t, grammar);
}

void check_token(std::string_view token) {
    const tesvane::ParsedNumber p = tesvane::parse_number(token);
    const std::string t(token);
    // std::regex recurses per character; long tokens get the structural checks only.
    const bool short_token = t.size() <= 256;
    if (short_token)
        check(plain_decimal(t) == (p.status != NumberStatus::not_a_number));
    if (p.status == NumberStatus::not_a_number)
        return;
    errno = 0;
    char* end = nullptr;
    const double want = std::strtod(t.c_str(), &end);
    check(end == t.c_str() + t.size());
    if (p.status == NumberStatus::out_of_range) {
        check(errno == ERANGE && std::isinf(want));
        return;
    }
    check(std::isfinite(p.value));
    // Same value and sign; strtod may flag an inexact subnormal with ERANGE, which is fine.
    check(p.value == want && std::signbit(p.value) == std::signbit(want));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Numbers as in C; characters as UTF-8, to decode messages independently, where available.
    static const bool c_locale = std::setlocale(LC_ALL, "C") != nullptr;
    static const bool utf8 = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    check(c_locale);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check_token(text);

    // The control reader: as many numbers as tokens, each the parser's value, or an Error that
    // quotes the first bad token.
    std::size_t tokens = 0;
    std::size_t i = 0;
    const auto separator = [](char c) {
        return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
    };
    std::string_view first_bad;
    while (i < text.size()) {
        if (separator(text[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && !separator(text[j]))
            ++j;
        const std::string_view token = text.substr(i, j - i);
        check_token(token);
        if (first_bad.empty() && tesvane::parse_number(token).status != NumberStatus::ok)
            first_bad = token;
        ++tokens;
        i = j;
    }
    try {
        const std::vector<double> v = tesvane::parse_numbers(text);
        check(first_bad.empty() && v.size() == tokens);
    } catch (const tesvane::Error& e) {
        check(!first_bad.empty());
        const std::string quoted = tesvane::quote_token(first_bad);
        check(std::string_view(e.what()).starts_with(quoted));
    }

    // Quoting for messages: bounded, no control bytes, quotes at both ends.
    const std::string q = tesvane::quote_token(text);
    check(q.size() >= 2 && q.front() == '"' && q.back() == '"' && q.size() <= 4 * 32 + 5);
    for (const char c : q)
        check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    // A message must be readable text even when the file is binary.
    std::mbstate_t state{};
    for (std::size_t at = 0; utf8 && at < q.size();) {
        const std::size_t n = std::mbrtowc(nullptr, q.data() + at, q.size() - at, &state);
        check(n != 0 && n != static_cast<std::size_t>(-1) && n != static_cast<std::size_t>(-2));
        at += n;
    }
    return 0;
}
