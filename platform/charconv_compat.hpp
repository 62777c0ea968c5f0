// Conversions between doubles and text that do not depend on the locale: std::from_chars and
// std::to_chars where the standard library has them for doubles, and the C library's strtod and
// "%.*g" (which are correctly rounded too) where it lacks them, as the WebAssembly build's does.
#pragma once

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace tesvane {

namespace detail {

// The C library's versions, compiled everywhere so that tests compare them with the standard's.
inline std::from_chars_result double_from_chars_c(const char* first, const char* last,
                                                  double& value) {
    const std::string text(first, last);
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    const char* stop = first + (end - text.c_str());
    // from_chars leaves `value` alone and reports a range error on overflow and on an underflow
    // to zero; strtod also flags subnormal results, which from_chars keeps.
    if (errno == ERANGE && (std::isinf(v) || v == 0))
        return {stop, std::errc::result_out_of_range};
    value = v;
    return {stop, std::errc()};
}

inline std::string shortest_double_text_c(double v) {
    char buf[64];
    // Whole numbers as to_chars writes them ("10", not "1e+01").
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", v);
        return buf;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, v);
        if (std::strtod(buf, nullptr) == v)
            break;
    }
    return buf;
}

}  // namespace detail

// Converts [first, last), whose syntax the caller has checked (a decimal number without a
// leading '+'), as std::from_chars with chars_format::general does.
inline std::from_chars_result double_from_chars(const char* first, const char* last,
                                                double& value) {
#if defined(__cpp_lib_to_chars)
    return std::from_chars(first, last, value, std::chars_format::general);
#else
    return detail::double_from_chars_c(first, last, value);
#endif
}

// A text that reads back as the same double: the shortest one (to_chars), or the one of the
// fewest significant digits (the C library).
inline std::string shortest_double_text(double v) {
#if defined(__cpp_lib_to_chars)
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
#else
    return detail::shortest_double_text_c(v);
#endif
}

}  // namespace tesvane
