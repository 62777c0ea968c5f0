// Numbers typed by the user (controls, options, script words) turned into integers.
//
// A double outside the range of the integer type has no integer value: converting it is
// undefined behaviour. Every such conversion goes through here, and what lies outside the range
// the caller allows is refused with a message that names the control, option or argument.
#pragma once

#include <optional>
#include <string>

namespace tesvane {

// `v` truncated toward zero, when it is finite and the result lies in [lo, hi]; nothing otherwise.
// With `whole`, a value with a fraction is refused too.
std::optional<long long> to_integer(double v, long long lo, long long hi, bool whole = false);

// As to_integer, but an Error "WHAT must be a whole number from LO to HI, not V" (or "a number
// from ...", without `whole`) when there is no such integer.
long long checked_integer(double v, long long lo, long long hi, const std::string& what,
                          bool whole = false);

// checked_integer for the int range (lo and hi are ints).
int checked_int(double v, int lo, int hi, const std::string& what, bool whole = false);

}  // namespace tesvane
