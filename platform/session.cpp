#include "platform/session.hpp"

#include <cassert>
#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/plain_words.hpp"
#include "platform/session_variables.hpp"

namespace tesvane {
namespace {

const Matrix& empty_matrix() {
    static const Matrix m;
    return m;
}

// In the user's terms first; the variable's name last, for scripts and bug reports.
Error empty_error(const std::string& name) {
    return Error(empty_variable_message(name) + " (session variable " + name + ")");
}

// Every name the code uses is in the table; another is a mistake of the code, not of the user.
const std::string& declared(const std::string& name) {
    assert(find_session_variable(name) != nullptr && "not a session variable");
    return name;
}

std::string json_number(double v) {
    // JSON has no infinities nor not-a-number values.
    return std::isfinite(v) ? cformat("%.17g", v) : std::string("null");
}

std::string json_value(const SessionValue& value) {
    // Specimen names come from the user's files: bytes that are not UTF-8 become U+FFFD rather
    // than stopping the write.
    if (const std::string* t = std::get_if<std::string>(&value))
        return nlohmann::json(*t).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    const Matrix& m = std::get<Matrix>(value);
    std::string s = "[";
    for (Index i = 0; i < m.rows(); ++i) {
        s += i ? ", [" : "[";
        for (Index j = 0; j < m.cols(); ++j)
            s += (j ? ", " : "") + json_number(m(i, j));
        s += "]";
    }
    return s + "]";
}

}  // namespace

const Matrix& Session::matrix(const std::string& name) const {
    auto it = values_.find(declared(name));
    if (it == values_.end())
        return empty_matrix();
    const Matrix* m = std::get_if<Matrix>(&it->second);
    return m ? *m : empty_matrix();
}

const Matrix& Session::require(const std::string& name) const {
    const Matrix& m = matrix(name);
    if (m.size() == 0)
        throw empty_error(name);
    return m;
}

double Session::scalar(const std::string& name) const {
    return require(name)(0, 0);
}

std::string Session::text(const std::string& name) const {
    auto it = values_.find(declared(name));
    if (it == values_.end())
        throw empty_error(name);
    if (const std::string* s = std::get_if<std::string>(&it->second))
        return *s;
    throw Error("The session variable " + name + " holds numbers, not a text");
}

bool Session::flag(const std::string& name) const {
    const Matrix& m = matrix(name);
    return m.size() > 0 && m(0, 0) != 0;
}

bool Session::empty(const std::string& name) const {
    auto it = values_.find(declared(name));
    if (it == values_.end())
        return true;
    if (const Matrix* m = std::get_if<Matrix>(&it->second))
        return m->size() == 0;
    return std::get<std::string>(it->second).empty();
}

const SessionValue* Session::find(const std::string& name) const {
    auto it = values_.find(declared(name));
    return it == values_.end() ? nullptr : &it->second;
}

void Session::set(const std::string& name, Matrix m) {
    values_[declared(name)] = std::move(m);
}

void Session::set(const std::string& name, double v) {
    values_[declared(name)] = Matrix::Constant(1, 1, v);
}

void Session::set(const std::string& name, std::string text) {
    values_[declared(name)] = std::move(text);
}

void Session::clear(const std::string& name) {
    values_.erase(declared(name));
}

void Session::clear_for_reset() {
    for (const SessionVariable& v : session_variables())
        if (v.cleared)
            values_.erase(std::string(v.name));
}

std::string session_json(const Session& s, JsonScope scope, std::optional<std::uint64_t> seed,
                         std::string_view results) {
    // One variable a line: readable, and diffable.
    static const SessionValue kEmpty = Matrix();
    std::string out = "{";
    bool first = true;
    for (const SessionVariable& v : session_variables()) {
        const SessionValue* value = s.find(std::string(v.name));
        if (scope == JsonScope::results ? !v.json : value == nullptr)
            continue;
        out += cformat(first ? "\n  \"%s\": " : ",\n  \"%s\": ", std::string(v.name).c_str()) +
               json_value(value ? *value : kEmpty);
        first = false;
    }
    if (!results.empty()) {
        out += first ? "\n  \"results\": " : ",\n  \"results\": ";
        out += results;
        first = false;
    }
    if (seed) {
        out += cformat(first ? "\n  \"seed\": %llu" : ",\n  \"seed\": %llu",
                       static_cast<unsigned long long>(*seed));
    }
    return out + "\n}\n";
}

}  // namespace tesvane
