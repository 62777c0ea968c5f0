// The session variables: named values that live from one action to the next.
//
// A variable that was never set, or was cleared, reads as the empty matrix. A flag that is
// empty counts as off. Reading values that must be there goes through `require`, whose error
// names the variable.
#pragma once

#include <map>
#include <string>
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

    void set(const std::string& name, Matrix m);
    void set(const std::string& name, double v);
    void set(const std::string& name, std::string text);
    void clear(const std::string& name);

    const std::map<std::string, SessionValue>& all() const { return values_; }

  private:
    std::map<std::string, SessionValue> values_;
};

// The variables and their values as JSON text: matrices as arrays of rows, texts as strings.
std::string session_json(const Session& s);

}  // namespace tesvane
