// Small helpers shared by the tests of every layer: matrices written inline, their largest
// difference, similar copies of a form, a file's bytes and the message of a failure.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "platform/error.hpp"
#include "platform/matrix.hpp"

namespace tesvane::test {

// A 1 x n row of the values given.
inline Matrix row(std::initializer_list<double> v) {
    return Eigen::Map<const RowVector>(v.begin(), static_cast<Index>(v.size()));
}

// A matrix written row by row; the rows must have equal lengths.
inline Matrix rows(std::initializer_list<std::initializer_list<double>> r) {
    Matrix m(static_cast<Index>(r.size()), static_cast<Index>(r.begin()->size()));
    Index i = 0;
    for (const auto& values : r)
        m.row(i++) = row(values);
    return m;
}

// Largest absolute element difference; infinite when the shapes differ.
inline double max_diff(const Matrix& a, const Matrix& b) {
    if (a.rows() != b.rows() || a.cols() != b.cols())
        return INFINITY;
    return a.size() == 0 ? 0.0 : (a - b).cwiseAbs().maxCoeff();
}

// The landmarks of a row turned by t and scaled by s about (px, py), then shifted by (dx, dy).
inline Matrix similar(const Matrix& x, double t, double s, double dx = 0, double dy = 0,
                      double px = 0, double py = 0) {
    Matrix y = x;
    for (Index j = 0; 2 * j + 2 < x.size(); ++j) {
        const double u = x(2 * j) - px, v = x(2 * j + 1) - py;
        y(2 * j) = px + dx + s * (std::cos(t) * u - std::sin(t) * v);
        y(2 * j + 1) = py + dy + s * (std::sin(t) * u + std::cos(t) * v);
    }
    return y;
}

// The bytes of a file; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The message of the Error that `f` throws, or "no error".
template <typename F>
std::string error_of(F f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace tesvane::test
