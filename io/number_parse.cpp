#include "io/number_parse.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>

#include "platform/charconv_compat.hpp"
#include "platform/error.hpp"

namespace tesvane {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of digits; returns how many there were.
std::size_t skip_digits(std::string_view t, std::size_t& i) {
    const std::size_t start = i;
    while (i < t.size() && is_digit(t[i]))
        ++i;
    return i - start;
}

// The decimal exponent E with 10^(E-1) <= |value| < 10^E, for a nonzero value given as mantissa
// digits (with an optional point) and an exponent. Only its sign matters: it tells an overflow
// from an underflow when from_chars reports a value out of range.
long long decimal_magnitude(std::string_view mantissa, std::string_view exponent) {
    long long e = 0;
    std::size_t i = 0;
    bool neg = false;
    if (i < exponent.size() && (exponent[i] == '+' || exponent[i] == '-'))
        neg = exponent[i++] == '-';
    for (; i < exponent.size(); ++i) {
        e = std::min(e * 10 + (exponent[i] - '0'), 1'000'000'000LL);  // saturate, sign is enough
    }
    if (neg)
        e = -e;
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t lead = mantissa.find_first_not_of("0.");
    if (lead == std::string_view::npos)
        return e;  // zero; from_chars never reports it
    const long long place = lead < point ? static_cast<long long>(point - lead)
                                         : -static_cast<long long>(lead - point - 1);
    return place + e;
}

// The length of the well-formed UTF-8 sequence starting at t[i] (a byte of at least 0x80), or 0.
std::size_t utf8_length(std::string_view t, std::size_t i) {
    const auto b = [&t](std::size_t k) { return static_cast<unsigned char>(t[k]); };
    const unsigned char c = b(i);
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        hi = c == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + len > t.size() || b(i + 1) < lo || b(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return len;
}

}  // namespace

ParsedNumber parse_number(std::string_view t) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    const std::size_t mantissa_start = i;
    std::size_t digits = skip_digits(t, i);
    if (i < t.size() && t[i] == '.') {
        ++i;
        digits += skip_digits(t, i);
    }
    if (digits == 0)
        return {};
    const std::string_view mantissa = t.substr(mantissa_start, i - mantissa_start);
    std::string_view exponent;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        const std::size_t exponent_start = ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (skip_digits(t, i) == 0)
            return {};
        exponent = t.substr(exponent_start, i - exponent_start);
    }
    if (i != t.size())
        return {};

    // The syntax is checked; from_chars only converts (it takes no leading '+').
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    const char* last = t.data() + t.size();
    double value = 0.0;
    const auto [end, ec] = double_from_chars(first, last, value);
    if (ec == std::errc() && end == last)
        return {NumberStatus::ok, value};
    if (ec == std::errc::result_out_of_range) {
        if (decimal_magnitude(mantissa, exponent) > 0)
            return {NumberStatus::out_of_range, 0.0};
        return {NumberStatus::ok, negative ? -0.0 : 0.0};
    }
    return {};
}

std::string quote_token(std::string_view token, std::size_t max_chars) {
    const bool cut = token.size() > max_chars;
    const std::size_t n = std::min(token.size(), max_chars);
    std::string out = "\"";
    const auto escape = [&out](unsigned char c) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
    };
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c < 0x20 || c == 0x7F) {
            escape(c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const std::size_t len = utf8_length(token, i); len > 0 && i + len <= n) {
            out.append(token.substr(i, len));
            i += len;
        } else if (len > 0) {
            break;  // a character cut by the limit is left out whole
        } else {
            escape(c);  // binary bytes would make the message itself unreadable
            ++i;
        }
    }
    if (cut)
        out += "...";
    out += '"';
    return out;
}

std::string escape_invalid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t len = c < 0x80 ? 1 : utf8_length(text, i);
        if (len > 0 && i + len <= text.size()) {
            out.append(text.substr(i, len));
            i += len;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
            ++i;
        }
    }
    return out;
}

std::vector<double> parse_numbers(std::string_view text) {
    const auto is_separator = [](char c) {
        return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
    };
    std::vector<double> out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (is_separator(text[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && !is_separator(text[j]))
            ++j;
        const std::string_view token = text.substr(i, j - i);
        const ParsedNumber p = parse_number(token);
        if (p.status == NumberStatus::not_a_number) {
            throw Error(quote_token(token) + " is not a number");
        }
        if (p.status == NumberStatus::out_of_range) {
            throw Error(quote_token(token) + " is out of range");
        }
        out.push_back(p.value);
        i = j;
    }
    return out;
}

}  // namespace tesvane
