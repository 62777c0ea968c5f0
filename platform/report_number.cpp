#include "platform/report_number.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace tesvane {

std::string report_number(const char* fmt, double v, std::string_view why) {
    if (!std::isfinite(v))
        return why.empty() ? std::string("not defined") : "not defined (" + std::string(why) + ")";
        // The format is the caller's literal with one double conversion.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int n = std::snprintf(nullptr, 0, fmt, v);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(s.data(), s.size() + 1, fmt, v);
#pragma GCC diagnostic pop
    return s;
}

bool has_non_finite_word(std::string_view text) {
    auto letter = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && letter(text[i - 1]))
            continue;
        std::size_t j = i;
        while (j < text.size() && letter(text[j]))
            ++j;
        std::string word(text.substr(i, j - i));
        for (char& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (word == "nan" || word == "inf" || word == "infinity")
            return true;
        if (j > i)
            i = j - 1;
    }
    return false;
}

}  // namespace tesvane
