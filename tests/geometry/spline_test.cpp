#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/getconsensus.hpp"
#include "geometry/getpw_arbit.hpp"
#include "geometry/gettpse.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/scpcoeff_arbrot.hpp"
#include "geometry/uniform_scores.hpp"
#include "geometry/uspline.hpp"
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

Matrix reference_of(int k, unsigned seed) {
    return getconsensus(test::random_block(k, 15, seed, 0.15)).reference;
}

TEST(Kernel, SquaredDistanceTimesItsLog) {
    EXPECT_EQ(uspline(row({2, 3}), row({2, 3})), 0.0);
    EXPECT_DOUBLE_EQ(uspline(row({1, 1}), row({4, 5})), 25 * std::log(25.0));
    Matrix x(2, 3);
    x << 0, 1, 0, 0, 0, 2;
    Matrix yt(2, 1);
    yt << 0.5, 0;  // squared distances 1/4, 1/4, 17/4
    EXPECT_DOUBLE_EQ(wsspline(x, yt, row({5, 6, 7})),
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
    for (int i = 0; i + 1 < k; ++i) {
        EXPECT_GE(d(i), d(i + 1));
    }
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

TEST(Scores, BlockRowsAreThePerSpecimenScoresInOrder) {
    const int k = 7;
    const Consensus c = getconsensus(test::random_block(k, 9, 21u, 0.1));
    const Matrix s = getpw_arbit(c.reference, c.superimposed);
    ASSERT_EQ(s.cols(), 2 * k - 3);
    const Matrix Le = gettpse(gettspl(vertxy(c.reference)));
    for (Index i = 0; i < 9; ++i) {
        const Matrix t = scpcoeff_arbrot(Le, c.superimposed.row(i), c.reference);
        EXPECT_EQ(s.row(i).head(2 * k - 4), t.transpose().reshaped().transpose());
        EXPECT_EQ(s(i, 2 * k - 4), c.superimposed(i, 2 * k));
    }
    // The reference itself scores zero.
    const Matrix r = getpw_arbit(c.reference, c.reference);
    EXPECT_LE(r.leftCols(2 * k - 6).cwiseAbs().maxCoeff(), 1e-13);
    EXPECT_EQ(r.block(0, 2 * k - 6, 1, 2), row({0, 0}));
}

TEST(Scores, WarpAndUniformDirectionsAreOrthonormal) {
    const int k = 9;
    const Matrix ref = reference_of(k, 17u);
    const Matrix E = gettpse(gettspl(vertxy(ref))).leftCols(k);
    Matrix B = Matrix::Zero(2 * k, 2 * k - 4);
    for (int j = 0; j < k - 3; ++j) {
        for (int l = 0; l < k; ++l) {
            B(2 * l, 2 * j) = B(2 * l + 1, 2 * j + 1) = E(l, j);
        }
    }
    B.rightCols(2) = uniform_basis(ref).transpose();
    EXPECT_LE(max_diff(B.transpose() * B, Matrix::Identity(2 * k - 4, 2 * k - 4)), 1e-13);
}

TEST(Scores, UniformShearScoresNoPartialWarp) {
    const int k = 8;
    const Matrix ref = reference_of(k, 23u);
    Matrix x(2, 2 * k + 1);
    x << ref, ref;
    for (int j = 0; j < k; ++j) {
        x(0, 2 * j) += 0.01 * ref(2 * j + 1);  // x += s y
        x(1, 2 * j) += 0.02 * ref(2 * j + 1);
    }
    const Matrix s = getpw_arbit(ref, x);
    EXPECT_LE(s.leftCols(2 * k - 6).cwiseAbs().maxCoeff(), 1e-13);
    const Matrix u = s.middleCols(2 * k - 6, 2);
    EXPECT_GT(u.row(0).norm(), 1e-3);
    EXPECT_LE(max_diff(u.row(1), 2.0 * u.row(0)), 1e-15);
}

std::string spline_error(const Matrix& form) {
    const GeometryError e = geometry_error([&] { gettpse(gettspl(form)); });
    EXPECT_EQ(e.specimen(), 0);
    return e.what();
}

TEST(SplineErrors, UndefinedSplinesAreRejected) {
    Matrix two(2, 2);
    two << 0, 1, 0, 1;
    EXPECT_EQ(spline_error(two), "the reference form has fewer than 3 landmarks");
    Matrix line(2, 5);  // a line of irrational slope: collinear only up to rounding
    for (int j = 0; j < 5; ++j) {
        line.col(j) << 0.1 * j, 0.1 * j * std::sqrt(2.0);
    }
    EXPECT_EQ(
        spline_error(line),
        "the reference form's landmarks are collinear, so the thin-plate spline is undefined");
    Matrix same(2, 4);
    same << 0, 1, 0, 1, 0, 0, 1, 0;
    EXPECT_EQ(spline_error(same),
              "landmarks 2 and 4 of the reference form coincide, so the thin-plate spline is "
              "undefined");
    Matrix bad = vertxy(kSquare);
    bad(1, 2) = NAN;
    EXPECT_NE(spline_error(bad).find("finite"), std::string::npos);
    Matrix flat = kSquare;
    for (int j = 0; j < 4; ++j) {
        flat(2 * j + 1) = 0.5 * flat(2 * j);
    }
    EXPECT_EQ(geometry_error([&] { getpw_arbit(flat, flat); }).specimen(), 0);
}

TEST(SplineErrors, SingularSplineMatrixIsRejected) {
    // The spline matrix of the collinear points (0, 0), (1, 1), (2, 2), built by hand.
    Matrix L = Matrix::Zero(6, 6);
    L(0, 1) = L(1, 0) = L(1, 2) = L(2, 1) = 2 * std::log(2.0);
    L(0, 2) = L(2, 0) = 8 * std::log(8.0);
    for (int j = 0; j < 3; ++j) {
        L(j, 3) = L(3, j) = 1;
        L(j, 4) = L(4, j) = L(j, 5) = L(5, j) = j;
    }
    const std::string what = geometry_error([&] { gettpse(L); }).what();
    EXPECT_NE(what.find("singular"), std::string::npos);
}

}  // namespace
}  // namespace tesvane
