// printf-style formatting into a std::string, with C's own conversions (%g, %i, %f, %s, %c).
#pragma once

#include <string>

namespace tesvane {

std::string cformat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tesvane
