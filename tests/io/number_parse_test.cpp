#include "io/number_parse.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.hpp"
#include "test_util.hpp"

namespace tesvane {
namespace {

TEST(ParseNumbers, BlanksOrCommasSeparateAndJunkIsNamed) {
    const std::vector<std::pair<std::string, std::vector<double>>> good = {
        {"30", {30}},
        {"  -12.5 ", {-12.5}},
        {"2e-3", {0.002}},
        {"1 2 3", {1, 2, 3}},
        {"1,2,3", {1, 2, 3}},
        {" 1 , 2,,3 ", {1, 2, 3}},
        {"1\t2\n3\r\n", {1, 2, 3}},  // text written back one row per line
        {"", {}},
        {" ,\t\n", {}},
    };
    for (const auto& [text, want] : good)
        EXPECT_EQ(parse_numbers(text), want) << text;
    const std::pair<const char*, const char*> bad[] = {
        {"abc", "\"abc\" is not a number"},     {"1 2x 3", "\"2x\" is not a number"},
        {"1+2", "\"1+2\" is not a number"},     {"auto", "\"auto\" is not a number"},
        {"nan", "\"nan\" is not a number"},     {"% 5", "\"%\" is not a number"},  // no comments
        {"1e400", "\"1e400\" is out of range"}, {"-2e308", "\"-2e308\" is out of range"},
    };
    for (const auto& [text, message] : bad)
        EXPECT_EQ(test::error_of([&] { parse_numbers(text); }), message) << text;
}

// The forms, rounding and range of a token are checked through the table reader in dload_test.
TEST(ParseNumber, ATokenHasNoBlanks) {
    for (const char* token : {"", " 1", "1 ", "1\t"})
        EXPECT_EQ(parse_number(token).status, NumberStatus::not_a_number) << token;
    EXPECT_EQ(parse_number("-.5e+1").value, -5.0);
}

TEST(QuoteToken, ShortensWithoutSplittingUtf8) {
    EXPECT_EQ(quote_token("abc"), "\"abc\"");
    EXPECT_EQ(quote_token("abcdef", 6), "\"abcdef\"");
    EXPECT_EQ(quote_token("abcdefg", 6), "\"abcdef...\"");
    // "abcd" then the two bytes of an e-acute: a cut after five bytes would split the letter.
    EXPECT_EQ(quote_token("abcd\xC3\xA9xyz", 5), "\"abcd...\"");
    EXPECT_EQ(quote_token("abcd\xC3\xA9xyz", 6), "\"abcd\xC3\xA9...\"");
    EXPECT_EQ(quote_token(std::string_view("a\0b\tc", 5)), "\"a\\x00b\\x09c\"");
}

// Regression: bytes of a binary file went into the message as they were, which made the
// message itself invalid text.
TEST(QuoteToken, EscapesBytesThatAreNotUtf8) {
    EXPECT_EQ(quote_token("\x89PNG"), "\"\\x89PNG\"");
    EXPECT_EQ(quote_token("\xFF\xFE"
                          "1"),
              "\"\\xFF\\xFE1\"");                                   // UTF-16 mark
    EXPECT_EQ(quote_token("\xC3("), "\"\\xC3(\"");                  // cut sequence
    EXPECT_EQ(quote_token("\xED\xA0\x80"), "\"\\xED\\xA0\\x80\"");  // surrogate
    EXPECT_EQ(quote_token("\xC0\xAF"), "\"\\xC0\\xAF\"");           // overlong
    EXPECT_EQ(quote_token("\xE6\x95\xB0\xF0\x9F\x98\x80"), "\"\xE6\x95\xB0\xF0\x9F\x98\x80\"");
}

}  // namespace
}  // namespace tesvane
