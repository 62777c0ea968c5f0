#include "platform/checked_int.hpp"

#include <cmath>

#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {

std::optional<long long> to_integer(double v, long long lo, long long hi, bool whole) {
    if (!std::isfinite(v) || (whole && v != std::trunc(v)))
        return std::nullopt;
    // Compared as doubles before the conversion: 2^63 and beyond have no long long value.
    const double t = std::trunc(v);
    if (t < static_cast<double>(lo) || t > static_cast<double>(hi) || t >= 0x1p63 || t < -0x1p63)
        return std::nullopt;
    const long long n = static_cast<long long>(t);
    if (n < lo || n > hi)
        return std::nullopt;
    return n;
}

long long checked_integer(double v, long long lo, long long hi, const std::string& what,
                          bool whole) {
    if (const std::optional<long long> n = to_integer(v, lo, hi, whole))
        return *n;
    throw Error(cformat("%s must be %s from %lld to %lld, not %.6g", what.c_str(),
                        whole ? "a whole number" : "a number", lo, hi, v));
}

int checked_int(double v, int lo, int hi, const std::string& what, bool whole) {
    return static_cast<int>(checked_integer(v, lo, hi, what, whole));
}

}  // namespace tesvane
