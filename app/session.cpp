#include "app/session.hpp"

#include <nlohmann/json.hpp>

#include "app/plain_words.hpp"
#include "platform/error.hpp"

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

}  // namespace

const Matrix& Session::matrix(const std::string& name) const {
    auto it = values_.find(name);
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
    auto it = values_.find(name);
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
    auto it = values_.find(name);
    if (it == values_.end())
        return true;
    if (const Matrix* m = std::get_if<Matrix>(&it->second))
        return m->size() == 0;
    return std::get<std::string>(it->second).empty();
}

void Session::set(const std::string& name, Matrix m) {
    values_[name] = std::move(m);
}

void Session::set(const std::string& name, double v) {
    values_[name] = Matrix::Constant(1, 1, v);
}

void Session::set(const std::string& name, std::string text) {
    values_[name] = std::move(text);
}

void Session::clear(const std::string& name) {
    values_.erase(name);
}

std::string session_json(const Session& s) {
    // One variable a line: compact enough to read, and diffable.
    std::string out = "{";
    bool first = true;
    for (const auto& [name, value] : s.all()) {
        nlohmann::json v;
        if (const std::string* t = std::get_if<std::string>(&value)) {
            v = *t;
        } else {
            const Matrix& m = std::get<Matrix>(value);
            v = nlohmann::json::array();
            for (Index i = 0; i < m.rows(); ++i) {
                nlohmann::json row = nlohmann::json::array();
                for (Index j = 0; j < m.cols(); ++j)
                    row.push_back(m(i, j));
                v.push_back(std::move(row));
            }
        }
        out += (first ? "\n " : ",\n ") + nlohmann::json(name).dump() + ": " + v.dump();
        first = false;
    }
    return out + "\n}";
}

}  // namespace tesvane
