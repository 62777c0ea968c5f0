#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/formrotate.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/uniform_scores.hpp"
#include "geometry/uniparmproc.hpp"
#include "geometry_test_util.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

using test::max_diff;
using test::row;

// The landmarks of a configuration row turned by t, size value kept.
Matrix turned(const Matrix& x, double t) {
    Matrix y = x;
    for (Index j = 0; 2 * j + 1 < x.size() - 1; ++j) {
        y(2 * j) = std::cos(t) * x(2 * j) - std::sin(t) * x(2 * j + 1);
        y(2 * j + 1) = std::sin(t) * x(2 * j) + std::cos(t) * x(2 * j + 1);
    }
    return y;
}

// Rectangle (+-2, +-1) at unit size, on its principal axes: alpha = 0.8, gamma = 0.2.
const double kP = 2 / std::sqrt(20.0);
const double kQ = 1 / std::sqrt(20.0);
const Matrix kRect = row({-kP, -kQ, kP, -kQ, kP, kQ, -kP, kQ, 1});

TEST(Formrotate, TurnsCounterClockwiseAndKeepsTheLastValue) {
    const Matrix x = row({1, 0, 0, 1, 7});
    EXPECT_EQ(formrotate(x, 0), x);
    EXPECT_LE(max_diff(formrotate(x, M_PI / 2), row({0, 1, -1, 0, 7})), 1e-16);
    const Matrix r = row({0.3, -1.2, 2.5, 0.4, -0.9, 1.1, 42});
    EXPECT_LE(max_diff(formrotate(formrotate(r, 1.3), -1.3), r), 1e-15);
    // Without a trailing value the last coordinate doubles as one.
    EXPECT_EQ(formrotate(row({1, 2, 3, 4}), 0), row({1, 2, 3, 4, 4}));
}

TEST(Uniparmproc, SumsSquaredXAndSquaredY) {
    EXPECT_EQ(uniparmproc(row({1, 2, 3, 4, 9})), row({10, 20}));
    EXPECT_LE(max_diff(uniparmproc(kRect), row({0.8, 0.2})), 1e-15);
}

TEST(UniformBasis, SquareGivesTheStandardDirections) {
    // Sxx = Syy: the angle reduces to 0, alpha = gamma = 1/2, and the directions are
    // (y, x) and (-x, y) landmark by landmark, already of unit length.
    const double h = 1 / std::sqrt(8.0);
    const Matrix sq = row({-h, -h, h, -h, h, h, -h, h, 1});
    Matrix expected(2, 8);
    expected << -h, -h, -h, h, h, h, h, -h,  //
        h, -h, -h, -h, -h, h, h, h;
    EXPECT_LE(max_diff(uniform_basis(sq), expected), 1e-15);
}

TEST(UniformBasis, ReferenceOnItsAxesNeedsNoTurn) {
    // a = (alpha/gamma)^0.5 = 2, g = (gamma/alpha)^0.5 = 1/2; both rows already unit.
    Matrix expected(2, 8);
    for (int j = 0; j < 4; ++j) {
        const double x = kRect(2 * j);
        const double y = kRect(2 * j + 1);
        expected(0, 2 * j) = 2 * y;
        expected(0, 2 * j + 1) = 0.5 * x;
        expected(1, 2 * j) = -0.5 * x;
        expected(1, 2 * j + 1) = 2 * y;
    }
    EXPECT_LE(max_diff(uniform_basis(kRect), expected), 1e-15);
}

TEST(UniformBasis, TurnsWithTheReference) {
    const Matrix xu = uniform_basis(kRect);
    for (double t : {0.3, -0.6, 0.78}) {
        const Matrix got = uniform_basis(turned(kRect, t));
        for (int r = 0; r < 2; ++r) {
            Matrix row_r(1, 9);
            row_r << xu.row(r), 0;
            EXPECT_LE(max_diff(got.row(r), turned(row_r, t).leftCols(8)), 1e-14)
                << "t " << t << " row " << r;
        }
    }
}

TEST(UniformBasis, AngleOnTheLowerBoundIsTurnedUp) {
    // A reference on the diagonals with Sxx - Syy one rounding step above 0 and Sxy > 0:
    // 0.5 atan(-2 Sxy / (Sxx - Syy)) is exactly -pi/4, which the reduction moves to +pi/4.
    // Turned by +pi/4 the long diagonal lies on y (alpha = 1, gamma = 4); worked by hand,
    // -pi/4 would give the same directions with the opposite sign.
    const Matrix ref = row({1, 1, -1, -1, 0.5, -0.5 + std::ldexp(1.0, -51), -0.5, 0.5, 1});
    Matrix expected(2, 8);
    expected << 0.5, -0.5, -0.5, 0.5, 1, 1, -1, -1,  //
        0.5, 0.5, -0.5, -0.5, -1, 1, 1, -1;
    expected /= std::sqrt(5.0);
    EXPECT_LE(max_diff(uniform_basis(ref), expected), 1e-14);
}

TEST(UniformBasis, DirectionsAreUnitAndOrthogonalToSimilarityMoves) {
    const int k = 10;
    const Matrix ref = getconsensus(test::random_block(k, 12, 31u, 0.2)).reference;
    const Matrix xu = uniform_basis(ref);
    ASSERT_EQ(xu.rows(), 2);
    ASSERT_EQ(xu.cols(), 2 * k);
    EXPECT_LE(max_diff(xu * xu.transpose(), Matrix::Identity(2, 2)), 1e-14);
    // Translation along x and y, scaling, and rotation of the reference.
    Matrix moves = Matrix::Zero(4, 2 * k);
    for (int j = 0; j < k; ++j) {
        moves(0, 2 * j) = 1;
        moves(1, 2 * j + 1) = 1;
        moves(2, 2 * j) = ref(2 * j);
        moves(2, 2 * j + 1) = ref(2 * j + 1);
        moves(3, 2 * j) = -ref(2 * j + 1);
        moves(3, 2 * j + 1) = ref(2 * j);
    }
    EXPECT_LE((xu * moves.transpose()).cwiseAbs().maxCoeff(), 1e-14);
}

TEST(UniformScores, ZeroForTheReferenceAndLinearInAUniformChange) {
    const int k = 6;
    const Matrix ref = getconsensus(test::random_block(k, 12, 37u, 0.2)).reference;
    EXPECT_EQ(uniform_scores(ref, ref), row({0, 0}));

    const Matrix xu = uniform_basis(ref);
    Matrix along = ref;
    along.leftCols(2 * k) += 0.03 * xu.row(1);
    EXPECT_LE(max_diff(uniform_scores(along, ref), row({0, 0.03})), 1e-15);

    // Stretch along x and shear: scores scale with the amount.
    for (int kind = 0; kind < 2; ++kind) {
        Matrix small = ref;
        Matrix big = ref;
        for (int j = 0; j < k; ++j) {
            const double dx = kind == 0 ? ref(2 * j) : ref(2 * j + 1);
            small(2 * j) += 0.01 * dx;
            big(2 * j) += 0.03 * dx;
        }
        const Matrix us = uniform_scores(small, ref);
        EXPECT_GT(us.norm(), 1e-3);
        EXPECT_LE(max_diff(uniform_scores(big, ref), 3.0 * us), 1e-15);
    }
}

GeometryError basis_error(const Matrix& ref) {
    try {
        uniform_basis(ref);
    } catch (const GeometryError& e) {
        return e;
    }
    ADD_FAILURE() << "no GeometryError thrown";
    return GeometryError(-1, "");
}

TEST(UniformErrors, FlatOrEmptyReferenceIsRejected) {
    // Collinear on a slanted line: after turning gamma is rounding noise, not exactly 0.
    Matrix line(1, 9);
    for (int j = 0; j < 4; ++j) {
        line(2 * j) = (j - 1.5) * 0.3;
        line(2 * j + 1) = (j - 1.5) * 0.3 * std::sqrt(3.0);
    }
    line(8) = 1;
    const GeometryError e = basis_error(line);
    EXPECT_EQ(e.specimen(), 0);
    EXPECT_NE(std::string(e.what()).find("uniform components are undefined"), std::string::npos);
    EXPECT_EQ(basis_error(row({0, 0, 0, 0, 0, 0, 1})).specimen(), 0);
    EXPECT_EQ(basis_error(row({1, 0, -1, 0, 0.5, 0, 1})).specimen(), 0);  // all y = 0
    EXPECT_NE(std::string(basis_error(row({1, 0, NAN, 0, 0.5, 2, 1})).what()).find("finite"),
              std::string::npos);
    EXPECT_THROW(uniform_scores(kRect, line), GeometryError);
}

}  // namespace
}  // namespace tesvane
