// Small helpers shared by the geometry tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>

#include "geometry/centsize.hpp"
#include "platform/error.hpp"
#include "platform/matrix.hpp"
#include "test_util.hpp"

namespace tesvane::test {

// The GeometryError that f throws.
template <class F>
GeometryError geometry_error(F f) {
    try {
        f();
    } catch (const GeometryError& e) {
        return e;
    }
    ADD_FAILURE() << "no GeometryError thrown";
    return GeometryError(-1, "");
}

// n noisy, turned, scaled and shifted copies of an irregular k-landmark outline, with the
// centroid size in the last column.
inline Matrix random_block(int k, int n, unsigned seed, double noise = 0.05) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const Eigen::ArrayXd radius =
        Eigen::ArrayXd::NullaryExpr(k, [&] { return 1.0 + 0.4 * u(rng); });
    Matrix x(n, 2 * k + 1);
    for (int i = 0; i < n; ++i) {
        Matrix c = Matrix::Zero(1, 2 * k + 1);
        for (int j = 0; j < k; ++j) {
            c(2 * j) = 1.3 * radius(j) * std::cos(2 * M_PI * j / k) + noise * u(rng);
            c(2 * j + 1) = radius(j) * std::sin(2 * M_PI * j / k) + noise * u(rng);
        }
        const double s = 3.0 + u(rng);
        c = s * similar(c, M_PI * u(rng), 1);
        c(2 * k) = centsize(c)(0);
        const double dx = 10.0 * u(rng);
        const double dy = 10.0 * u(rng);
        c.leftCols(2 * k).reshaped(2, k).colwise() += Eigen::Vector2d(dx, dy);
        x.row(i) = c;
    }
    return x;
}

}  // namespace tesvane::test
