// The table of callable functions: every routine a window callback, a menu entry or a script
// may call by name, with the inputs it takes and its number of outputs.
//
// Each function declares its inputs (a matrix of a given shape, a number in a range, a text).
// The table checks what a caller passes against that declaration before the call, so a routine
// never sees an input it would read past, and fills in the inputs left out that have a default.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/session.hpp"

namespace tesvane {

struct AppContext;

using Values = std::vector<SessionValue>;
// Called with the inputs (checked and completed) and the number of outputs asked for.
using CallableFn = std::function<Values(AppContext&, const Values& in, int nout)>;

inline constexpr int kAnyCount = -1;

// One size of a matrix input: a constant ("1"), or a multiple of a named size plus a constant
// ("n", "2k+1", "2k-3", "k+3"), or a lower bound (">=2"). A named size takes its value from the
// first input that has it; later inputs must agree.
struct Extent {
    char name = 0;  // 0: a constant or a bound
    long long times = 1, plus = 0;
    bool at_least = false;
    std::string text;  // as written, for messages
};

// What one input must be.
struct Param {
    enum class Kind { matrix, number, text, anything };
    Kind kind = Kind::anything;
    Extent rows, cols;  // matrix
    // number: the range, and whether it is passed on as a whole number (truncated toward zero)
    double lo = 0, hi = 0;
    bool integer = false;
    // Taken when the caller leaves this input (and every later one) out; without one the input
    // is required.
    std::optional<SessionValue> fallback;
};

// A matrix of rows × cols, e.g. matrix_param("1", "2k+1") for a configuration row.
Param matrix_param(const std::string& rows, const std::string& cols);
// A finite number; `integer` numbers must lie in [lo, hi] once truncated toward zero.
Param number_param();
Param integer_param(long long lo, long long hi);
Param text_param();
// A matrix or a text, passed on as given.
Param any_param();
// The same input, optional: `fallback` when left out (an empty matrix means "not given").
Param optional(Param p, SessionValue fallback = Matrix());

struct Signature {
    std::vector<Param> params;
    bool variadic = false;  // any number of inputs of any kind, passed on unchecked
    static Signature any() { return Signature{{}, true}; }
};

class Registry {
  public:
    void add(const std::string& name, Signature in, int max_out, CallableFn fn);
    bool has(const std::string& name) const { return table_.count(name) > 0; }
    // Calls `name` after checking the inputs against its signature; an Error for an unknown
    // name, for more outputs than registered, or naming the first input that does not fit.
    Values call(AppContext& ctx, const std::string& name, const Values& in, int nout = 0) const;
    std::vector<std::string> names() const;

  private:
    struct Entry {
        Signature in;
        int max_out;
        CallableFn fn;
    };
    std::map<std::string, Entry> table_;
};

// The inputs of a checked call, by position.
const Matrix& matrix_in(const Values& in, std::size_t i);
double number_in(const Values& in, std::size_t i);
int integer_in(const Values& in, std::size_t i);
const std::string& text_in(const Values& in, std::size_t i);

}  // namespace tesvane
