// From scores back to forms: eigsort, the uniform patterns, reversepwb, reversepwarb and
// reversepw6u, checked against hand values and against the scores they invert.
#include <gtest/gtest.h>

#include "display/UniArbitrary.hpp"
#include "display/UniAxis.hpp"
#include "display/eigsort.hpp"
#include "display/reversepw6u.hpp"
#include "display/reversepwarb.hpp"
#include "display/reversepwb.hpp"
#include "display_test_util.hpp"
#include "geometry/getpw_arbit.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"
#include "platform/linalg.hpp"

namespace tesvane::test {
namespace {

TEST(Eigsort, OrdersByDescendingValueAndKeepsTiesInOrder) {
    Matrix V(3, 3);
    V << 1, 2, 3, 4, 5, 6, 7, 8, 9;
    const SortedEigen s = eigsort(V, Eigen::Vector3d(1, 3, 2).asDiagonal().toDenseMatrix());
    EXPECT_EQ(s.VR, V(Eigen::all, std::vector<int>{1, 2, 0}));
    EXPECT_EQ(s.DR, Eigen::Vector3d(3, 2, 1).asDiagonal().toDenseMatrix());
    const SortedEigen tie = eigsort(V, Eigen::Vector3d(2, 5, 2).asDiagonal().toDenseMatrix());
    EXPECT_EQ(tie.VR, V(Eigen::all, std::vector<int>{1, 0, 2}));
}

TEST(UniformPatterns, HaveUnitLengthTheStatedDirectionsAndAgreeOnThePrincipalAxes) {
    // Landmarks (1, 0), (0, 2), (-1, 0), (0, -2): alpha = 2, gamma = 8.
    const Matrix ref = row({1, 0, 0, 2, -1, 0, 0, -2, 1});
    // Choice 1: (y sqrt(a/g), x sqrt(g/a)) = (y/2, 2x); before scaling the lengths are
    // 2, 1, 2, 1 -> norm sqrt(10).
    const Matrix want1 = (Matrix(4, 2) << 0, 2, 1, 0, 0, -2, -1, 0).finished() / std::sqrt(10.0);
    EXPECT_LT(max_diff(UniAxis(ref, 1), want1), 1e-15);
    const Matrix want2 = (Matrix(4, 2) << -2, 0, 0, 1, 2, 0, 0, -1).finished() / std::sqrt(10.0);
    EXPECT_LT(max_diff(UniAxis(ref, 2), want2), 1e-15);

    const Matrix b = UniArbitrary(irregular_reference());
    EXPECT_NEAR(b.row(0).norm(), 1, 1e-14);
    EXPECT_NEAR(b.row(1).norm(), 1, 1e-14);
    // Both agree when the reference is symmetric about both axes, its principal-axis angle 0.
    const Matrix sym = row({0.5, 0.1, -0.5, 0.1, 0.5, -0.1, -0.5, -0.1, 0, 0.3, 0, -0.3, 1});
    const Matrix m1 = UniAxis(sym, 1).transpose(), m2 = UniAxis(sym, 2).transpose();
    EXPECT_LT(max_diff(UniArbitrary(sym).row(0), m1.reshaped(1, m1.size())), 1e-12);
    EXPECT_LT(max_diff(UniArbitrary(sym).row(1), m2.reshaped(1, m2.size())), 1e-12);
    // A reference without spread has none.
    EXPECT_THROW(UniAxis(row({0, 1, 0, 2, 0, 3, 1}), 1), GeometryError);
    EXPECT_THROW(UniArbitrary(row({0, 1, 0, 2, 0, 3, 1})), GeometryError);
}

TEST(Reversepw, ScoresOfTheDisplacedFormAreTheScoresGiven) {
    const Matrix ref = irregular_reference();
    Matrix pw = Matrix::Zero(1, 11);
    pw(10) = 123;  // zero scores give the reference; the last score is ignored
    EXPECT_LT(max_diff(reversepwb(ref, pw), ref), 1e-15);
    EXPECT_LT(max_diff(reversepwarb(ref, pw), ref), 1e-15);
    // Measured again, signs included: a displayed deformation points the way its score says.
    pw << 0.03, -0.02, 0.01, 0.015, -0.01, 0.02, 0.005, -0.004, 0.04, -0.03, 1;
    const Matrix scores = getpw_arbit(ref, reversepwarb(ref, pw));
    EXPECT_LT(max_diff(scores.leftCols(10), pw.leftCols(10)), 1e-12);
    // reversepwb shares the warps; its uniform part is the unturned one.
    const Matrix sb = getpw_arbit(ref, reversepwb(ref, pw));
    EXPECT_LT(max_diff(sb.leftCols(8), pw.leftCols(8)), 1e-12);
    EXPECT_THROW(reversepwb(ref, Matrix::Zero(1, 10)), Error);  // wrong length
    EXPECT_THROW(reversepwarb(ref, Matrix::Zero(1, 12)), Error);
}

TEST(Reversepw6u, ZeroWeightsGiveTheReferenceAndAFittedSplineReproducesTheTarget) {
    Matrix ref = irregular_reference();
    ref(14) = 2.5;
    Matrix unit = ref;
    unit(14) = 1;
    EXPECT_LT(max_diff(reversepw6u(ref, Matrix::Zero(10, 2)), unit), 1e-15);
    Matrix target = ref;
    target(0) += 0.05;
    target(5) -= 0.03;
    target(9) += 0.02;
    // Spline coefficients of the displacements, solved here directly.
    Matrix rhs = Matrix::Zero(10, 2);
    rhs.topRows(7) = (vertxy(target) - vertxy(ref)).transpose();
    const Matrix w = inverse(gettspl(vertxy(ref))) * rhs;
    Matrix want = target;
    want(14) = 1;
    EXPECT_LT(max_diff(reversepw6u(ref, w), want), 1e-12);
}

}  // namespace
}  // namespace tesvane::test
