// The session variables: named values that live from one action to the next.
//
// The names are those of the table in session_variables.hpp; code that names another is wrong
// (an assertion). A variable that was never set, or was cleared, reads as the empty matrix. A
// flag that is empty counts as off. Reading values that must be there goes through `require`,
// whose error names the variable.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/matrix.hpp"

namespace tesvane {

// A matrix, or a text (style strings such as "k-").
using SessionValue = std::variant<Matrix, std::string>;

class Session {
  public:
    // The matrix held, or the empty matrix (a text reads as empty here).
    const Matrix& matrix(const std::string& name) const;
    // The matrix held; an Error naming the variable when it is empty.
    const Matrix& require(const std::string& name) const;
    // A scalar taken from a non-empty matrix.
    double scalar(const std::string& name) const;
    // The text held; an Error naming the variable when it is not set.
    std::string text(const std::string& name) const;
    // On when set to a non-empty matrix whose first value is non-zero.
    bool flag(const std::string& name) const;
    bool empty(const std::string& name) const;
    // The value held, or nullptr when the variable was never set or was cleared.
    const SessionValue* find(const std::string& name) const;

    void set(const std::string& name, Matrix m);
    void set(const std::string& name, double v);
    void set(const std::string& name, std::string text);
    void clear(const std::string& name);
    // Clears the variables the table marks as cleared by Clear&reset.
    void clear_for_reset();

  private:
    std::map<std::string, SessionValue> values_;
};

// Which variables session_json writes.
enum class JsonScope {
    results,     // the table's analysis results, each one, an empty one as []
    everything,  // every variable that holds a value
};

// The variables as JSON text in the order of the table, one a line: matrices as arrays of rows
// at full precision (a non-finite value as null), texts as strings; with a seed, a last member
// "seed"; before it, when given, a member "results" holding `results`, which is JSON text.
// Ends with a line break.
std::string session_json(const Session& s, JsonScope scope,
                         std::optional<std::uint64_t> seed = std::nullopt,
                         std::string_view results = {});

}  // namespace tesvane
