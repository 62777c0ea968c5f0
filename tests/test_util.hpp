// Small helpers shared by the tests of every layer: matrices written inline, their largest
// difference, a file's bytes and the message of a failure.
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
