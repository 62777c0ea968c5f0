#include "platform/registry.hpp"

#include <cassert>
#include <cctype>
#include <cmath>

#include "platform/cformat.hpp"
#include "platform/checked_int.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

// "1", ">=2", "n", "2k+1", "2k-3", "k+3".
Extent parse_extent(const std::string& s) {
    Extent e;
    e.text = s;
    size_t i = 0;
    if (s.rfind(">=", 0) == 0) {
        e.at_least = true;
        e.plus = std::stoll(s.substr(2));
        return e;
    }
    long long digits = 0;
    bool any_digit = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        digits = 10 * digits + (s[i++] - '0');
        any_digit = true;
    }
    if (i == s.size()) {
        e.plus = digits;
        return e;
    }
    assert(std::isalpha(static_cast<unsigned char>(s[i])));
    e.name = s[i++];
    e.times = any_digit ? digits : 1;
    if (i < s.size()) {
        assert(s[i] == '+' || s[i] == '-');
        const long long sign = s[i] == '-' ? -1 : 1;
        e.plus = sign * std::stoll(s.substr(i + 1));
    }
    return e;
}

std::string shown(const Extent& e) {
    if (e.at_least)
        return cformat("(%lld or more)", e.plus);
    const bool compound = e.name != 0 && (e.times != 1 || e.plus != 0);
    return compound ? "(" + e.text + ")" : e.text;
}

std::string describe(const Param& p) {
    switch (p.kind) {
        case Param::Kind::number:
            return "one number";
        case Param::Kind::text:
            return "a text";
        case Param::Kind::anything:
            return "a matrix or a text";
        case Param::Kind::matrix:
            break;
    }
    const std::string size = shown(p.rows) + " × " + shown(p.cols);
    if (!p.rows.at_least && p.rows.name == 0 && p.rows.plus == 1)
        return "a " + size + " row";
    if (!p.cols.at_least && p.cols.name == 0 && p.cols.plus == 1)
        return "a " + size + " column";
    return "a " + size + " matrix";
}

// A named size found in one input: its value and where it came from.
struct Binding {
    long long value;
    std::size_t argument;
};
using Bindings = std::map<char, Binding>;

// Whether `d` fits `e`; an empty text when it does, else what is wrong beyond the shape.
bool fits(const Extent& e, long long d, std::size_t argument, Bindings& bound,
          std::string& conflict) {
    if (e.name == 0)
        return e.at_least ? d >= e.plus : d == e.plus;
    if (const auto it = bound.find(e.name); it != bound.end()) {
        if (d == e.times * it->second.value + e.plus)
            return true;
        conflict = cformat(", with %c = %lld as in argument %zu", e.name, it->second.value,
                           it->second.argument);
        return false;
    }
    const long long v = d - e.plus;
    if (v < e.times || v % e.times != 0)
        return false;
    bound[e.name] = {v / e.times, argument};
    return true;
}

[[noreturn]] void refuse(const std::string& name, std::size_t i, const Param& p,
                         const std::string& given) {
    throw Error(cformat("%s: argument %zu must be %s%s", name.c_str(), i + 1, describe(p).c_str(),
                        given.c_str()));
}

// Checks input i and returns it as the function is to see it.
SessionValue checked(const std::string& name, std::size_t i, const Param& p, const SessionValue& v,
                     Bindings& bound) {
    const Matrix* m = std::get_if<Matrix>(&v);
    switch (p.kind) {
        case Param::Kind::anything:
            return v;
        case Param::Kind::text:
            if (!m)
                return v;
            refuse(name, i, p, ", not numbers");
        case Param::Kind::number: {
            if (!m)
                refuse(name, i, p, ", not a text");
            if (m->size() != 1)
                refuse(name, i, p,
                       cformat(", not %ld × %ld values", static_cast<long>(m->rows()),
                               static_cast<long>(m->cols())));
            const double x = (*m)(0, 0);
            if (!std::isfinite(x))
                refuse(name, i, p, ", not an infinite or undefined value");
            if (!p.integer)
                return v;
            const long long n =
                checked_integer(x, static_cast<long long>(p.lo), static_cast<long long>(p.hi),
                                cformat("%s: argument %zu", name.c_str(), i + 1));
            return Matrix::Constant(1, 1, static_cast<double>(n));
        }
        case Param::Kind::matrix:
            break;
    }
    if (!m)
        refuse(name, i, p, ", not a text");
    std::string conflict;
    Bindings trial = bound;
    if (!fits(p.rows, m->rows(), i + 1, trial, conflict) ||
        !fits(p.cols, m->cols(), i + 1, trial, conflict))
        refuse(name, i, p,
               conflict + cformat(", not %ld × %ld", static_cast<long>(m->rows()),
                                  static_cast<long>(m->cols())));
    bound = trial;
    return v;
}

}  // namespace

Param matrix_param(const std::string& rows, const std::string& cols) {
    Param p;
    p.kind = Param::Kind::matrix;
    p.rows = parse_extent(rows);
    p.cols = parse_extent(cols);
    return p;
}

Param number_param() {
    Param p;
    p.kind = Param::Kind::number;
    return p;
}

Param integer_param(long long lo, long long hi) {
    Param p = number_param();
    p.integer = true;
    p.lo = static_cast<double>(lo);
    p.hi = static_cast<double>(hi);
    return p;
}

Param text_param() {
    Param p;
    p.kind = Param::Kind::text;
    return p;
}

Param any_param() {
    return Param{};
}

Param optional(Param p, SessionValue fallback) {
    p.fallback = std::move(fallback);
    return p;
}

void Registry::add(const std::string& name, Signature in, int max_out, CallableFn fn) {
    table_[name] = Entry{std::move(in), max_out, std::move(fn)};
}

Values Registry::call(AppContext& ctx, const std::string& name, const Values& in, int nout) const {
    auto it = table_.find(name);
    if (it == table_.end())
        throw Error("Undefined function " + name);
    const Entry& e = it->second;
    if (e.max_out != kAnyCount && nout > e.max_out)
        throw Error("Too many output arguments from " + name);
    if (e.in.variadic)
        return e.fn(ctx, in, nout);
    const std::vector<Param>& params = e.in.params;
    if (in.size() > params.size())
        throw Error("Too many input arguments to " + name);
    Values args;
    Bindings bound;
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (i < in.size())
            args.push_back(checked(name, i, params[i], in[i], bound));
        else if (params[i].fallback)
            args.push_back(*params[i].fallback);
        else
            throw Error(cformat("Not enough input arguments to %s: argument %zu (%s) is missing",
                                name.c_str(), i + 1, describe(params[i]).c_str()));
    }
    return e.fn(ctx, args, nout);
}

std::vector<std::string> Registry::names() const {
    std::vector<std::string> out;
    for (const auto& [name, entry] : table_)
        out.push_back(name);
    return out;
}

const Matrix& matrix_in(const Values& in, std::size_t i) {
    return std::get<Matrix>(in.at(i));
}

double number_in(const Values& in, std::size_t i) {
    return matrix_in(in, i)(0, 0);
}

int integer_in(const Values& in, std::size_t i) {
    // The registry has checked the range and truncated the value.
    return static_cast<int>(number_in(in, i));
}

const std::string& text_in(const Values& in, std::size_t i) {
    return std::get<std::string>(in.at(i));
}

}  // namespace tesvane
