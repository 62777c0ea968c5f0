// Plain decimal numbers in text: the tokens of data files and the numbers typed into controls.
//
// A number is [+-]? (digits [. [digits]] | . digits) ([eE] [+-]? digits)?, read the same in every
// locale. Anything an expression evaluator would take beyond that (1+2, inf, nan, hex, 1d3) is
// rejected rather than guessed at.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tesvane {

enum class NumberStatus { ok, not_a_number, out_of_range };

struct ParsedNumber {
    NumberStatus status = NumberStatus::not_a_number;
    double value = 0.0;
};

// One whole token as a number. Magnitudes beyond the largest double are out of range; magnitudes
// below the smallest subnormal read as a zero of the token's sign, as any decimal reader does.
ParsedNumber parse_number(std::string_view token);

// The numbers of a control's text: one number, or several separated by blanks, tabs, commas or
// line ends. An empty or blank text gives no numbers. Throws tesvane::Error naming the first token
// that is not a number or is out of range.
std::vector<double> parse_numbers(std::string_view text);

// A token quoted for a message: control bytes and bytes that are not UTF-8 escaped as \xNN, cut
// to about `max_chars` with "...".
std::string quote_token(std::string_view token, std::size_t max_chars = 32);

// The text with every byte that is not part of a well-formed UTF-8 character written as \xNN
// (a Latin-1 specimen ID, say), so that JSON and scripts can carry it.
std::string escape_invalid_utf8(std::string_view text);

}  // namespace tesvane
