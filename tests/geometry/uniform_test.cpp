#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/formrotate.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/uniform_scores.hpp"
#include "geometry/uniparmproc.hpp"
#include "geometry_test_util.hpp"

namespace tesvane {
namespace {

using test::geometry_error;
using test::max_diff;
using test::row;

TEST(Formrotate, TurnsCounterClockwiseAndKeepsTheLastValue) {
    const Matrix x = row({1, 0, 0, 1, 7});
    EXPECT_EQ(formrotate(x, 0), x);
    EXPECT_LE(max_diff(formrotate(x, M_PI / 2), row({0, 1, -1, 0, 7})), 1e-16);
    const Matrix r = row({0.3, -1.2, 2.5, 0.4, -0.9, 1.1, 42});
    EXPECT_LE(max_diff(formrotate(formrotate(r, 1.3), -1.3), r), 1e-15);
    EXPECT_EQ(formrotate(row({1, 2, 3, 4}), 0), row({1, 2, 3, 4, 4}));  // last y as the tail
    EXPECT_EQ(uniparmproc(row({1, 2, 3, 4, 9})), row({10, 20}));
}

TEST(UniformBasis, SquareGivesTheStandardDirections) {
    // Sxx = Syy: the angle reduces to 0, alpha = gamma = 1/2, and the directions are (y, x)
    // and (-x, y) landmark by landmark, already of unit length.
    const double h = 1 / std::sqrt(8.0);
    Matrix expected(2, 8);
    expected << -h, -h, -h, h, h, h, h, -h,  //
        h, -h, -h, -h, -h, h, h, h;
    EXPECT_LE(max_diff(uniform_basis(row({-h, -h, h, -h, h, h, -h, h, 1})), expected), 1e-15);
}

TEST(UniformBasis, RectangleOnItsAxesNeedsNoTurn) {
    // (+-2, +-1) at unit size: alpha = 0.8, gamma = 0.2, so (alpha/gamma)^0.5 = 2 and
    // (gamma/alpha)^0.5 = 1/2, and both rows come out of unit length.
    const double p = 2 / std::sqrt(20.0);
    const double q = 1 / std::sqrt(20.0);
    const Matrix rect = row({-p, -q, p, -q, p, q, -p, q, 1});
    Matrix expected(2, 8);
    for (int j = 0; j < 4; ++j) {
        expected.col(2 * j) << 2 * rect(2 * j + 1), -0.5 * rect(2 * j);
        expected.col(2 * j + 1) << 0.5 * rect(2 * j), 2 * rect(2 * j + 1);
    }
    EXPECT_LE(max_diff(uniform_basis(rect), expected), 1e-15);
}

TEST(UniformBasis, AngleOnTheLowerBoundIsTurnedUp) {
    // On the diagonals with Sxx - Syy one rounding step above 0 and Sxy > 0,
    // 0.5 atan(-2 Sxy / (Sxx - Syy)) is exactly -pi/4, which the reduction moves to +pi/4.
    // Turned by +pi/4 the long diagonal lies on y (alpha = 1, gamma = 4); worked by hand,
    // -pi/4 would give the same directions with the opposite sign.
    const Matrix ref = row({1, 1, -1, -1, 0.5, -0.5 + std::ldexp(1.0, -51), -0.5, 0.5, 1});
    Matrix expected(2, 8);
    expected << 0.5, -0.5, -0.5, 0.5, 1, 1, -1, -1,  //
        0.5, 0.5, -0.5, -0.5, -1, 1, 1, -1;
    EXPECT_LE(max_diff(uniform_basis(ref), expected / std::sqrt(5.0)), 1e-14);
}

TEST(UniformBasis, DirectionsAreUnitAndOrthogonalToSimilarityMoves) {
    const int k = 10;
    const Matrix ref = getconsensus(test::random_block(k, 12, 31u, 0.2)).reference;
    const Matrix xu = uniform_basis(ref);
    ASSERT_EQ(xu.cols(), 2 * k);
    EXPECT_LE(max_diff(xu * xu.transpose(), Matrix::Identity(2, 2)), 1e-14);
    Matrix moves = Matrix::Zero(4, 2 * k);  // shift along x and y, scaling, turning
    for (int j = 0; j < k; ++j) {
        moves.col(2 * j) << 1, 0, ref(2 * j), -ref(2 * j + 1);
        moves.col(2 * j + 1) << 0, 1, ref(2 * j + 1), ref(2 * j);
    }
    EXPECT_LE((xu * moves.transpose()).cwiseAbs().maxCoeff(), 1e-14);
}

TEST(UniformScores, ZeroForTheReferenceAndLinearInAUniformChange) {
    const int k = 6;
    const Matrix ref = getconsensus(test::random_block(k, 12, 37u, 0.2)).reference;
    EXPECT_EQ(uniform_scores(ref, ref), row({0, 0}));
    Matrix along = ref;
    along.leftCols(2 * k) += 0.03 * uniform_basis(ref).row(1);
    EXPECT_LE(max_diff(uniform_scores(along, ref), row({0, 0.03})), 1e-15);
    for (int shear = 0; shear < 2; ++shear) {  // stretch along x, then shear
        Matrix small = ref;
        Matrix big = ref;
        for (int j = 0; j < k; ++j) {
            const double d = ref(2 * j + shear);
            small(2 * j) += 0.01 * d;
            big(2 * j) += 0.03 * d;
        }
        const Matrix us = uniform_scores(small, ref);
        EXPECT_GT(us.norm(), 1e-3);
        EXPECT_LE(max_diff(uniform_scores(big, ref), 3.0 * us), 1e-15);
    }
}

TEST(UniformErrors, FlatOrEmptyReferenceIsRejected) {
    Matrix line(1, 9);  // on a slanted line: one moment is rounding noise, not 0
    for (int j = 0; j < 4; ++j) {
        line.middleCols(2 * j, 2) << (j - 1.5) * 0.3, (j - 1.5) * 0.3 * 1.3;
    }
    line(8) = 1;
    const GeometryError e = geometry_error([&] { uniform_basis(line); });
    EXPECT_EQ(e.specimen(), 0);
    EXPECT_NE(std::string(e.what()).find("uniform components are undefined"), std::string::npos);
    for (const Matrix& r : {row({0, 0, 0, 0, 0, 0, 1}), row({1, 0, -1, 0, 0.5, 0, 1})}) {
        EXPECT_EQ(geometry_error([&] { uniform_basis(r); }).specimen(), 0);
    }
    const std::string nan = geometry_error([] {
                                uniform_basis(row({1, 0, NAN, 0, 0.5, 2, 1}));
                            }).what();
    EXPECT_NE(nan.find("finite"), std::string::npos);
}

}  // namespace
}  // namespace tesvane
