// The thin-plate spline, its principal warps, the uniform components and the shape scores,
// worked by hand on a square, a rectangle and a rhombus and checked for their invariants.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <Eigen/LU>

#include "geometry/getconsensus.hpp"
#include "geometry/getpw_arbit.hpp"
#include "geometry/gettpse.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/uniform_scores.hpp"
#include "geometry/uniparmproc.hpp"
#include "geometry/vertxy.hpp"
#include "geometry/wsspline.hpp"
#include "geometry_test_util.hpp"

namespace tesvane {
namespace {

using test::geometry_error;
using test::max_diff;
using test::row;

// Unit-size square, corners in turn: sides of squared length 1/2, diagonals of length 1.
const double kH = 1 / std::sqrt(8.0);
const Matrix kSquare = row({-kH, -kH, kH, -kH, kH, kH, -kH, kH, 1});

Matrix reference_of(int k, unsigned seed, double noise = 0.15, int n = 15) {
    return getconsensus(test::random_block(k, n, seed, noise)).reference;
}

TEST(Kernel, WeightedSumOfSquaredDistanceTimesItsLog) {
    // From (0.5, 0) to (0, 0), (1, 0), (0, 2): squared distances 1/4, 1/4, 17/4.
    EXPECT_DOUBLE_EQ(
        wsspline(vertxy(row({0, 0, 1, 0, 0, 2})), vertxy(row({0.5, 0})), row({5, 6, 7})),
        11 * 0.25 * std::log(0.25) + 7 * 4.25 * std::log(4.25));
}

TEST(SplineMatrix, SquareWorkedByHand) {
    const Matrix L = gettspl(vertxy(kSquare));
    const double s = 0.5 * std::log(0.5);  // sides; diagonals give 1 ln 1 = 0
    Matrix expected(7, 7);
    expected << 0, s, 0, s, 1, -kH, -kH,  //
        s, 0, s, 0, 1, kH, -kH,           //
        0, s, 0, s, 1, kH, kH,            //
        s, 0, s, 0, 1, -kH, kH,           //
        1, 1, 1, 1, 0, 0, 0,              //
        -kH, kH, kH, -kH, 0, 0, 0,        //
        -kH, -kH, kH, kH, 0, 0, 0;
    EXPECT_LE(max_diff(L, expected), 1e-15);  // ln of a rounded 1
}

TEST(EigenTable, SquareHasOneWarpOfEnergyOneOverLogTwo) {
    // The one non-affine direction is e = (1, -1, 1, -1) / 2 with energy 1 / (e' P e), and
    // e' P e = U(diagonal) - 2 U(side) = -ln(1/2).
    const Matrix Le = gettpse(gettspl(vertxy(kSquare)));
    ASSERT_EQ(Le.cols(), 8);
    Matrix D = Matrix::Zero(4, 4);
    D(0, 0) = 1 / std::log(2.0);
    EXPECT_LE(max_diff(Le.rightCols(4), D), 1e-14);
    const Matrix e = Le.col(0) * (Le(0, 0) > 0 ? 1.0 : -1.0);
    EXPECT_LE(max_diff(e, Matrix(row({0.5, -0.5, 0.5, -0.5}).transpose())), 1e-14);
}

TEST(EigenTable, EnergiesDescendWithThreeAffineZeros) {
    const int k = 12;
    const Matrix L = gettspl(vertxy(reference_of(k, 9u)));
    const Matrix Le = gettpse(L);
    const Matrix E = Le.leftCols(k);
    const ColVector d = Le.rightCols(k).diagonal();
    for (int i = 0; i + 1 < k; ++i)
        EXPECT_GE(d(i), d(i + 1));
    EXPECT_GT(d(k - 4), 1e-6);
    EXPECT_GE(d(k - 1), 0.0);
    EXPECT_LT(d(k - 3), 1e-12 * d(0));
    // Eigen pairs of the bending-energy matrix, got here by another factorisation.
    const Matrix Lk = L.partialPivLu().inverse().topLeftCorner(k, k);
    EXPECT_LE(max_diff(Lk * E, E * d.asDiagonal()), 1e-12 * d(0));
    EXPECT_LE(max_diff(E.transpose() * E, Matrix::Identity(k, k)), 1e-13);
}

TEST(Scores, MovingOneCornerOfTheSquareScoresHalfTheMove) {
    Matrix x(2, 9);
    x << kSquare, kSquare;
    x(1, 4) += 0.1;  // landmark 3 along x: e . x-values = 0.05
    x(1, 8) = 3.5;
    const Matrix s = getpw_arbit(kSquare, x);
    ASSERT_EQ(s.cols(), 5);  // one warp, two uniform scores, size
    EXPECT_LE(max_diff(s.row(0), row({0, 0, 0, 0, 1})), 1e-16);
    EXPECT_NEAR(std::abs(s(1, 0)), 0.05, 1e-15);
    EXPECT_NEAR(s(1, 1), 0, 1e-15);
    EXPECT_LE(max_diff(s.block(1, 2, 1, 2), uniform_scores(x.row(1), kSquare)), 0.0);
    EXPECT_EQ(s(1, 4), 3.5);
}

TEST(Scores, UniformShearScoresNoPartialWarp) {
    const int k = 8;
    const Matrix ref = reference_of(k, 23u);
    Matrix x = ref;
    for (int j = 0; j < k; ++j)
        x(2 * j) += 0.01 * ref(2 * j + 1);  // x += s y
    const Matrix s = getpw_arbit(ref, x);
    EXPECT_LE(s.leftCols(2 * k - 6).cwiseAbs().maxCoeff(), 1e-13);
    EXPECT_GT(s.middleCols(2 * k - 6, 2).norm(), 1e-3);
}

std::string spline_error(const Matrix& form) {
    const GeometryError e = geometry_error([&] { gettpse(gettspl(form)); });
    EXPECT_EQ(e.specimen(), 0);
    return e.what();
}

TEST(SplineErrors, UndefinedSplinesAreRejected) {
    EXPECT_EQ(spline_error(vertxy(row({0, 0, 1, 1}))),
              "the reference form has fewer than 3 landmarks");
    Matrix line(2, 5);  // a line of irrational slope: collinear only up to rounding
    for (int j = 0; j < 5; ++j)
        line.col(j) << 0.1 * j, 0.1 * j * std::sqrt(2.0);
    EXPECT_EQ(
        spline_error(line),
        "the reference form's landmarks are collinear, so the thin-plate spline is undefined");
    EXPECT_EQ(spline_error(vertxy(row({0, 0, 1, 0, 0, 1, 1, 0}))),
              "landmarks 2 and 4 of the reference form coincide, so the thin-plate spline is "
              "undefined");
    Matrix bad = vertxy(kSquare);
    bad(1, 2) = NAN;
    EXPECT_NE(spline_error(bad).find("finite"), std::string::npos);
    // The spline matrix of the collinear points (0, 0), (1, 1), (2, 2), built by hand.
    Matrix L = Matrix::Zero(6, 6);
    L(0, 1) = L(1, 0) = L(1, 2) = L(2, 1) = 2 * std::log(2.0);
    L(0, 2) = L(2, 0) = 8 * std::log(8.0);
    for (int j = 0; j < 3; ++j) {
        L(j, 3) = L(3, j) = 1;
        L(j, 4) = L(4, j) = L(j, 5) = L(5, j) = j;
    }
    EXPECT_NE(std::string(geometry_error([&] { gettpse(L); }).what()).find("singular"),
              std::string::npos);
}

TEST(UniformBasis, WorkedByHand) {
    // A square: Sxx = Syy, so the angle reduces to 0, alpha = gamma = 1/2, and the directions
    // are (y, x) and (-x, y) landmark by landmark, already of unit length.
    Matrix square(2, 8);
    square << -kH, -kH, -kH, kH, kH, kH, kH, -kH,  //
        kH, -kH, -kH, -kH, -kH, kH, kH, kH;
    // A rectangle (+-2, +-1) at unit size, on its axes: alpha = 0.8, gamma = 0.2, so the rows
    // are (2 y, x / 2) and (-x / 2, 2 y), which with p = 2q are (-p, -q, ...) and (q, -p, ...).
    const double p = 2 / std::sqrt(20.0), q = 1 / std::sqrt(20.0);
    Matrix rect(2, 8);
    rect << -p, -q, -p, q, p, q, p, -q,  //
        q, -p, -q, -p, -q, p, q, p;
    // On the diagonals with Sxx - Syy one rounding step above 0 and Sxy > 0,
    // 0.5 atan(-2 Sxy / (Sxx - Syy)) is exactly -pi/4, which the reduction moves to +pi/4.
    // Turned by +pi/4 the long diagonal lies on y (alpha = 1, gamma = 4); worked by hand,
    // -pi/4 would give the same directions with the opposite sign.
    Matrix bound(2, 8);
    bound << 0.5, -0.5, -0.5, 0.5, 1, 1, -1, -1,  //
        0.5, 0.5, -0.5, -0.5, -1, 1, 1, -1;
    const struct {
        Matrix ref, expected;
        double tolerance;
    } cases[] = {
        {kSquare, square, 1e-15},
        {row({-p, -q, p, -q, p, q, -p, q, 1}), rect, 1e-15},
        {row({1, 1, -1, -1, 0.5, -0.5 + std::ldexp(1.0, -51), -0.5, 0.5, 1}),
         bound / std::sqrt(5.0), 1e-14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ref);
        EXPECT_LE(max_diff(uniform_basis(c.ref), c.expected), c.tolerance);
    }
    EXPECT_EQ(uniparmproc(row({1, 2, 3, 4, 9})), row({10, 20}));
}

TEST(UniformScores, ZeroForTheReferenceAndLinearInAUniformChange) {
    const int k = 6;
    const Matrix ref = reference_of(k, 37u, 0.2, 12);
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
    for (int j = 0; j < 4; ++j)
        line.middleCols(2 * j, 2) << (j - 1.5) * 0.3, (j - 1.5) * 0.3 * 1.3;
    line(8) = 1;
    auto what = [](const Matrix& r) {  // the message, for the reference (specimen 0)
        const GeometryError e = geometry_error([&] { uniform_basis(r); });
        EXPECT_EQ(e.specimen(), 0);
        return std::string(e.what());
    };
    EXPECT_NE(what(line).find("uniform components are undefined"), std::string::npos);
    for (const Matrix& r : {row({0, 0, 0, 0, 0, 0, 1}), row({1, 0, -1, 0, 0.5, 0, 1})})
        what(r);
    EXPECT_NE(what(row({1, 0, NAN, 0, 0.5, 2, 1})).find("finite"), std::string::npos);
}

}  // namespace
}  // namespace tesvane
