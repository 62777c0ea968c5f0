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
#include "platform/error.hpp"

namespace tesvane {
namespace {

using test::max_diff;
using test::row;

// Unit-size square, corners in turn: sides of squared length 1/2, diagonals of length 1.
const double kH = 1 / std::sqrt(8.0);
const Matrix kSquare = row({-kH, -kH, kH, -kH, kH, kH, -kH, kH, 1});

Matrix reference_of(int k, unsigned seed) {
    return getconsensus(test::random_block(k, 15, seed, 0.15)).reference;
}

TEST(Kernel, IsSquaredDistanceTimesItsLog) {
    EXPECT_EQ(uspline(row({2, 3}), row({2, 3})), 0.0);
    EXPECT_EQ(uspline(row({0, 0}), row({1, 0})), 0.0);
    EXPECT_DOUBLE_EQ(uspline(row({0, 0}), row({1, 1})), 2 * std::log(2.0));
    EXPECT_DOUBLE_EQ(uspline(row({1, 1}), row({4, 5})), 25 * std::log(25.0));
    EXPECT_DOUBLE_EQ(uspline(row({0, 0}), row({0.5, 0})), 0.25 * std::log(0.25));
}

TEST(Kernel, WeightedSumAtOnePoint) {
    Matrix x(2, 3);
    x << 0, 1, 0, 0, 0, 2;
    Matrix yt(2, 1);
    yt << 0, 0;
    // Distances squared 0, 1, 4: only the last term counts.
    EXPECT_DOUBLE_EQ(wsspline(x, yt, row({5, 6, 7})), 7 * 4 * std::log(4.0));
    yt << 1, 1;  // squared distances 2, 1, 2
    EXPECT_DOUBLE_EQ(wsspline(x, yt, row({5, 6, 7})), 12 * 2 * std::log(2.0));
}

TEST(SplineMatrix, SquareHasTheHandComputedBlocks) {
    const Matrix L = gettspl(vertxy(kSquare));
    ASSERT_EQ(L.rows(), 7);
    ASSERT_EQ(L.cols(), 7);
    const double side = 0.5 * std::log(0.5);
    Matrix P(4, 4);
    P << 0, side, 0, side, side, 0, side, 0, 0, side, 0, side, side, 0, side, 0;
    EXPECT_LE(max_diff(L.topLeftCorner(4, 4), P), 1e-15);  // ln of a rounded 1
    Matrix Q(4, 3);
    Q << 1, -kH, -kH, 1, kH, -kH, 1, kH, kH, 1, -kH, kH;
    EXPECT_EQ(L.topRightCorner(4, 3), Q);
    EXPECT_EQ(L.bottomLeftCorner(3, 4), Matrix(Q.transpose()));
    EXPECT_EQ(L.bottomRightCorner(3, 3), Matrix(Matrix::Zero(3, 3)));
}

TEST(SplineMatrix, IsSymmetricWithZeroDiagonal) {
    const Matrix L = gettspl(vertxy(reference_of(10, 2u)));
    EXPECT_EQ(L, Matrix(L.transpose()));
    EXPECT_EQ(L.diagonal().head(10), ColVector(ColVector::Zero(10)));
}

TEST(SplineMatrix, SolvedSplineInterpolatesTheLandmarks) {
    const Matrix ref = vertxy(reference_of(8, 4u));
    const Matrix L = gettspl(ref);
    ColVector v(11);
    v << 0.3, -1, 2, 0.5, 0, 1.5, -0.7, 0.2, 0, 0, 0;
    const ColVector w = L.partialPivLu().solve(v);
    for (Index i = 0; i < 8; ++i) {
        const double f =
            wsspline(ref, ref.col(i), w.head(8)) + w(8) + w(9) * ref(0, i) + w(10) * ref(1, i);
        EXPECT_NEAR(f, v(i), 1e-12) << "landmark " << i;
    }
}

TEST(EigenTable, SquareHasOneWarpOfEnergyOneOverLogTwo) {
    // Bending energy 1 / (e' P e) for the one non-affine direction e = (1, -1, 1, -1) / 2,
    // and e' P e = U(diagonal) - 2 U(side) = 0 - log(1/2).
    const Matrix Le = gettpse(gettspl(vertxy(kSquare)));
    ASSERT_EQ(Le.rows(), 4);
    ASSERT_EQ(Le.cols(), 8);
    const Matrix D = Le.rightCols(4);
    EXPECT_NEAR(D(0, 0), 1 / std::log(2.0), 1e-14);
    for (int i = 1; i < 4; ++i)
        EXPECT_NEAR(D(i, i), 0, 1e-14);
    EXPECT_EQ(Matrix(D.diagonal().asDiagonal()), D);
    const Matrix e = Le.col(0) * (Le(0, 0) > 0 ? 1.0 : -1.0);
    EXPECT_LE(max_diff(e, Matrix(row({0.5, -0.5, 0.5, -0.5}).transpose())), 1e-14);
}

TEST(EigenTable, EnergiesAreNonNegativeDescendingWithThreeAffineZeros) {
    const int k = 12;
    const Matrix L = gettspl(vertxy(reference_of(k, 9u)));
    const Matrix Le = gettpse(L);
    const Matrix E = Le.leftCols(k);
    const ColVector d = Le.rightCols(k).diagonal();
    for (int i = 0; i < k; ++i)
        EXPECT_GE(d(i), 0.0);
    for (int i = 0; i + 1 < k; ++i)
        EXPECT_GE(d(i), d(i + 1));
    EXPECT_GT(d(k - 4), 1e-6);
    for (int i = k - 3; i < k; ++i)
        EXPECT_LT(d(i), 1e-12 * d(0));
    // Eigen pairs of the bending-energy matrix, got here from a different factorisation.
    const Matrix Lk = L.partialPivLu().inverse().topLeftCorner(k, k);
    EXPECT_LE(max_diff(Lk * E, E * d.asDiagonal()), 1e-12 * d(0));
    EXPECT_LE(max_diff(E.transpose() * E, Matrix::Identity(k, k)), 1e-13);
}

TEST(Scores, MovingOneCornerOfTheSquareScoresHalfTheMoveOnItsWarp) {
    const Matrix Le = gettpse(gettspl(vertxy(kSquare)));
    Matrix x = kSquare;
    x(4) += 0.1;  // landmark 3 moves along x
    const Matrix t = scpcoeff_arbrot(Le, x, kSquare);
    ASSERT_EQ(t.rows(), 2);
    ASSERT_EQ(t.cols(), 2);
    EXPECT_NEAR(std::abs(t(0, 0)), 0.05, 1e-15);
    EXPECT_NEAR(t(0, 1), 0.0, 1e-15);
    EXPECT_LE(max_diff(t.row(1), uniform_scores(x, kSquare)), 0.0);
}

TEST(Scores, BlockRowsAreThePerSpecimenScoresInOrder) {
    const int k = 7;
    const Matrix x = test::random_block(k, 9, 21u, 0.1);
    const Consensus c = getconsensus(x);
    const Matrix s = getpw_arbit(c.reference, c.superimposed);
    ASSERT_EQ(s.rows(), 9);
    ASSERT_EQ(s.cols(), 2 * k - 3);
    const Matrix Le = gettpse(gettspl(vertxy(c.reference)));
    for (Index i = 0; i < 9; ++i) {
        const Matrix t = scpcoeff_arbrot(Le, c.superimposed.row(i), c.reference);
        for (int j = 0; j < k - 2; ++j) {
            EXPECT_EQ(s(i, 2 * j), t(j, 0));
            EXPECT_EQ(s(i, 2 * j + 1), t(j, 1));
        }
        EXPECT_EQ(s(i, 2 * k - 4), x(i, 2 * k));
    }
}

TEST(Scores, FourLandmarksGiveOneWarpTwoUniformAndSize) {
    Matrix x(2, 9);
    x.row(0) = kSquare;
    x.row(1) = kSquare;
    x(1, 4) += 0.1;
    x(1, 8) = 3.5;
    const Matrix s = getpw_arbit(kSquare, x);
    ASSERT_EQ(s.cols(), 5);
    EXPECT_LE(max_diff(s.row(0), row({0, 0, 0, 0, 1})), 1e-16);
    EXPECT_NEAR(std::abs(s(1, 0)), 0.05, 1e-15);
    EXPECT_EQ(s(1, 4), 3.5);
}

TEST(Scores, ReferenceScoresZero) {
    const Matrix ref = reference_of(11, 13u);
    const Matrix s = getpw_arbit(ref, ref);
    ASSERT_EQ(s.cols(), 19);
    EXPECT_LE(s.leftCols(16).cwiseAbs().maxCoeff(), 1e-13);
    EXPECT_EQ(s(16), 0.0);
    EXPECT_EQ(s(17), 0.0);
    EXPECT_EQ(s(18), ref(22));
}

TEST(Scores, WarpAndUniformDirectionsAreOrthonormal) {
    const int k = 9;
    const Matrix ref = reference_of(k, 17u);
    const Matrix E = gettpse(gettspl(vertxy(ref))).leftCols(k);
    const Matrix xu = uniform_basis(ref);
    Matrix B = Matrix::Zero(2 * k, 2 * k - 4);
    for (int j = 0; j < k - 3; ++j) {
        for (int l = 0; l < k; ++l) {
            B(2 * l, 2 * j) = E(l, j);
            B(2 * l + 1, 2 * j + 1) = E(l, j);
        }
    }
    B.col(2 * k - 6) = xu.row(0).transpose();
    B.col(2 * k - 5) = xu.row(1).transpose();
    EXPECT_LE(max_diff(B.transpose() * B, Matrix::Identity(2 * k - 4, 2 * k - 4)), 1e-13);
}

TEST(Scores, UniformShearScoresNoPartialWarp) {
    const int k = 8;
    const Matrix ref = reference_of(k, 23u);
    Matrix x(2, 2 * k + 1);
    for (int r = 0; r < 2; ++r) {
        const double s = r == 0 ? 0.01 : 0.02;
        x.row(r) = ref;
        for (int j = 0; j < k; ++j)
            x(r, 2 * j) += s * ref(2 * j + 1);  // x += s y
    }
    const Matrix scores = getpw_arbit(ref, x);
    EXPECT_LE(scores.leftCols(2 * k - 6).cwiseAbs().maxCoeff(), 1e-13);
    const Matrix u1 = scores.block(0, 2 * k - 6, 1, 2);
    const Matrix u2 = scores.block(1, 2 * k - 6, 1, 2);
    EXPECT_GT(u1.norm(), 1e-3);
    EXPECT_LE(max_diff(u2, 2.0 * u1), 1e-15);
}

GeometryError spline_error(const Matrix& form) {
    try {
        gettpse(gettspl(form));
    } catch (const GeometryError& e) {
        return e;
    }
    ADD_FAILURE() << "no GeometryError thrown";
    return GeometryError(-1, "");
}

TEST(SplineErrors, TooFewLandmarks) {
    Matrix two(2, 2);
    two << 0, 1, 0, 1;
    const GeometryError e = spline_error(two);
    EXPECT_EQ(e.specimen(), 0);
    EXPECT_EQ(std::string(e.what()), "the reference form has fewer than 3 landmarks");
}

TEST(SplineErrors, CollinearOrCoincidentLandmarks) {
    Matrix line(2, 5);  // on a line of irrational slope, so not exactly in floating point
    for (int j = 0; j < 5; ++j) {
        line(0, j) = 0.1 * j;
        line(1, j) = 0.1 * j * std::sqrt(2.0);
    }
    EXPECT_NE(std::string(spline_error(line).what()).find("collinear"), std::string::npos);
    Matrix same(2, 4);
    same << 0, 1, 0, 1, 0, 0, 1, 0;
    EXPECT_EQ(std::string(spline_error(same).what()),
              "landmarks 2 and 4 of the reference form coincide, so the thin-plate spline is "
              "undefined");
    Matrix bad = vertxy(kSquare);
    bad(1, 2) = NAN;
    EXPECT_EQ(spline_error(bad).specimen(), 0);
    // Through the block routine as well.
    Matrix flat = kSquare;
    for (int j = 0; j < 4; ++j)
        flat(2 * j + 1) = 0.5 * flat(2 * j);
    EXPECT_THROW(getpw_arbit(flat, flat), GeometryError);
}

TEST(SplineErrors, SingularSplineMatrixIsRejected) {
    // The spline matrix of the collinear points (0, 0), (1, 1), (2, 2), built by hand.
    Matrix L = Matrix::Zero(6, 6);
    L(0, 1) = L(1, 0) = L(1, 2) = L(2, 1) = 2 * std::log(2.0);
    L(0, 2) = L(2, 0) = 8 * std::log(8.0);
    for (int j = 0; j < 3; ++j) {
        L(j, 3) = L(3, j) = 1;
        L(j, 4) = L(4, j) = j;
        L(j, 5) = L(5, j) = j;
    }
    const GeometryError e = [&] {
        try {
            gettpse(L);
        } catch (const GeometryError& err) {
            return err;
        }
        return GeometryError(-1, "");
    }();
    EXPECT_EQ(e.specimen(), 0);
    EXPECT_NE(std::string(e.what()).find("singular"), std::string::npos);
}

}  // namespace
}  // namespace tesvane
