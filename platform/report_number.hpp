// Numbers in reports, captions and saved results: a value that is not a finite number (a
// correlation of a constant variable, a spread of too few values) is never printed as "nan" or
// "inf" but as "not defined", with the reason where the caller knows it.
#pragma once

#include <string>
#include <string_view>

namespace tesvane {

// cformat(fmt, v) for a finite v (fmt holds one double conversion); otherwise "not defined" or
// "not defined (WHY)".
std::string report_number(const char* fmt, double v, std::string_view why = {});

// True when the text holds a word printf writes for a value that is not finite ("nan", "-nan",
// "inf", "-inf", in any case): the last check before a report is shown.
bool has_non_finite_word(std::string_view text);

}  // namespace tesvane
