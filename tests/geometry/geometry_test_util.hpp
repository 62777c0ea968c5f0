// Small helpers shared by the geometry tests.
#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/matrix.hpp"

namespace tesvane::test {

// A 1 x n row from literal values.
inline Matrix row(std::initializer_list<double> v) {
    Matrix m(1, static_cast<Index>(v.size()));
    Index i = 0;
    for (double d : v)
        m(i++) = d;
    return m;
}

// Largest absolute element difference; infinite when the shapes differ.
inline double max_diff(const Matrix& a, const Matrix& b) {
    if (a.rows() != b.rows() || a.cols() != b.cols())
        return INFINITY;
    if (a.size() == 0)
        return 0.0;
    return (a - b).cwiseAbs().maxCoeff();
}

// Landmark block read from a text file: one specimen a line, numbers separated by blanks.
inline Matrix read_block(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        std::vector<double> r;
        double v;
        while (ss >> v)
            r.push_back(v);
        if (!r.empty())
            rows.push_back(r);
    }
    if (rows.empty())
        return Matrix();
    Matrix m(static_cast<Index>(rows.size()), static_cast<Index>(rows[0].size()));
    for (Index i = 0; i < m.rows(); ++i) {
        if (static_cast<Index>(rows[i].size()) != m.cols())
            return Matrix();
        for (Index j = 0; j < m.cols(); ++j)
            m(i, j) = rows[i][j];
    }
    return m;
}

// n noisy, turned, scaled and shifted copies of an irregular k-landmark outline, centroid size
// in the last column (computed here, not by the code under test).
inline Matrix random_block(int k, int n, unsigned seed, double noise = 0.05) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Matrix x(n, 2 * k + 1);
    std::vector<double> r(k);
    for (int j = 0; j < k; ++j)
        r[j] = 1.0 + 0.4 * u(rng);
    for (int i = 0; i < n; ++i) {
        const double t = M_PI * u(rng);
        const double s = 3.0 + u(rng);
        const double dx = 10.0 * u(rng);
        const double dy = 10.0 * u(rng);
        double ss = 0.0;
        double mx = 0.0;
        double my = 0.0;
        for (int j = 0; j < k; ++j) {
            const double a = 2.0 * M_PI * j / k;
            const double px = 1.3 * r[j] * std::cos(a) + noise * u(rng);
            const double py = r[j] * std::sin(a) + noise * u(rng);
            x(i, 2 * j) = s * (std::cos(t) * px - std::sin(t) * py) + dx;
            x(i, 2 * j + 1) = s * (std::sin(t) * px + std::cos(t) * py) + dy;
            mx += x(i, 2 * j) / k;
            my += x(i, 2 * j + 1) / k;
        }
        for (int j = 0; j < k; ++j) {
            ss += std::pow(x(i, 2 * j) - mx, 2) + std::pow(x(i, 2 * j + 1) - my, 2);
        }
        x(i, 2 * k) = std::sqrt(ss);
    }
    return x;
}

}  // namespace tesvane::test
