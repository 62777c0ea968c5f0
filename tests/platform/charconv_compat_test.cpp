// The C library's conversions stand in for from_chars and to_chars where the standard library
// lacks them for doubles (the WebAssembly build): they must read and write the same values.
#include "platform/charconv_compat.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace tesvane {
namespace {

TEST(CharconvCompat, ReadsAsFromCharsDoes) {
    const char* const texts[] = {"0",
                                 "-0",
                                 "12",
                                 "-3.5",
                                 ".25",
                                 "1e-3",
                                 "1E+300",
                                 "0.1",
                                 "2.5e-308",
                                 "4.9e-324",
                                 "1e-400",
                                 "-1e-400",
                                 "1e400",
                                 "-1e400",
                                 "123456789012345678901",
                                 "0.30000000000000004"};
    for (const char* t : texts) {
        double a = 7, b = 7;
        const auto ra = std::from_chars(t, t + std::strlen(t), a, std::chars_format::general);
        const auto rb = detail::double_from_chars_c(t, t + std::strlen(t), b);
        EXPECT_EQ(ra.ec, rb.ec) << t;
        EXPECT_EQ(ra.ptr, rb.ptr) << t;
        EXPECT_EQ(std::signbit(a), std::signbit(b)) << t;
        if (ra.ec == std::errc()) {
            EXPECT_EQ(a, b) << t;
        }
    }
}

TEST(CharconvCompat, WritesTextThatReadsBackAndWholeNumbersPlainly) {
    const double values[] = {
        0.0,       1.0,      10.0,  -250.0, 0.1,
        1.0 / 3,   2.5e-308, 1e300, -0.001, std::numeric_limits<double>::denorm_min(),
        123456.789};
    for (const double v : values) {
        const std::string t = detail::shortest_double_text_c(v);
        EXPECT_EQ(std::strtod(t.c_str(), nullptr), v) << t;
        // No more significant digits than the shortest form needs.
        EXPECT_LE(t.size(), shortest_double_text(v).size() + 4) << t;
    }
    struct Case {
        double v;
        const char* text;
    };
    for (const Case c : {Case{10, "10"}, Case{-250, "-250"}, Case{0.1, "0.1"}, Case{3, "3"}})
        EXPECT_EQ(detail::shortest_double_text_c(c.v), c.text);
}

}  // namespace
}  // namespace tesvane
