// The analysis as a function: the shared references, the rounding, the per-group PLS with its
// divisors, the sign alignment of group 2, the null axes and the size checks, on synthetic
// groups against hand-derived values and invariances; and the angle report built from it.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/DoSVD2.hpp"
#include "analysis/block_references.hpp"
#include "analysis/two_group_pls.hpp"
#include "analysis_fixture.hpp"
#include "geometry/getconsensus.hpp"
#include "platform/error.hpp"
#include "platform/stats.hpp"

namespace tesvane::test {
namespace {

const char kHeader[] = "Angles between SVD axis of the two blocks \n";

TwoGroupInput input(const Matrix& d1, const Matrix& d2, const Matrix& d1g, const Matrix& d2g,
                    bool landmarks2 = true, bool homology2 = true) {
    return {d1, d1g, d2, d2g, landmarks2, homology2};
}
TwoGroupInput input(const Group& a, const Group& b, bool homology2 = true) {
    return input(a.b1, a.b2, b.b1, b.b2, true, homology2);
}

std::string report_of(const TwoGroupResult& r, bool homology2) {
    const BlockPls &a = r.group1->pls, &b = r.group2->pls;
    return angle_report(a.U, a.S, a.V, b.U, b.S, b.V, homology2);
}

double max_abs(const Matrix& m) {
    return m.cwiseAbs().maxCoeff();
}

TEST(BlockReferences, Block1AlwaysPooledBlock2OnlyWithHomology) {
    const Group a = synthetic_group(6, 5, 12, 41u), b = synthetic_group(6, 5, 9, 42u);
    const Matrix pooled1 = getconsensus(stack_rows(a.b1, b.b1, "Block 1")).reference;
    const Matrix pooled2 = getconsensus(stack_rows(a.b2, b.b2, "Block 2")).reference;

    const BlockReferences on = block_references(a.b1, b.b1, a.b2, b.b2, true);
    EXPECT_EQ(on.reference1, pooled1);
    EXPECT_EQ(on.reference2, pooled2);
    EXPECT_EQ(on.reference2g, pooled2);

    const BlockReferences off = block_references(a.b1, b.b1, a.b2, b.b2, false);
    EXPECT_EQ(off.reference1, pooled1);
    EXPECT_EQ(off.reference2, getconsensus(a.b2).reference);
    EXPECT_EQ(off.reference2g, getconsensus(b.b2).reference);

    // A block not given gets no reference; blocks that cannot be pooled are an error.
    const Matrix none;
    const BlockReferences only1 = block_references(a.b1, b.b1, none, none, true);
    EXPECT_EQ(only1.reference1, pooled1);
    EXPECT_EQ(only1.reference2.size(), 0);
    EXPECT_EQ(block_references(none, none, a.b2, b.b2, false).reference1.size(), 0);
    EXPECT_THROW(block_references(a.b1, a.b2, none, none, true), Error);
    EXPECT_THROW(block_references(a.b1, b.b1, a.b2, b.b1, true), Error);  // 5 and 6 landmarks
}

TEST(TwoGroupPls, ReferencesRoundedToFourDecimalsHalfAwayFromZero) {
    EXPECT_EQ(round4(Matrix{{0.12345, -0.12345, 2.00004999, -7.5e-5, 0}}),
              (Matrix{{0.1235, -0.1235, 2.0, -0.0001, 0}}));
    const Group a = synthetic_group(7, 5, 18, 1u), b = synthetic_group(7, 5, 16, 2u);
    const TwoGroupResult r = two_group_pls(input(a, b));
    const BlockReferences raw = block_references(a.b1, b.b1, a.b2, b.b2, true);
    EXPECT_EQ(r.references.reference1, round4(raw.reference1));
    EXPECT_EQ(r.references.reference2, round4(raw.reference2));
    EXPECT_EQ(r.references.reference2g, r.references.reference2);
}

TEST(TwoGroupPls, IdenticalGroupsGiveZeroAnglesAndEqualCorrelations) {
    const Group g = synthetic_group(6, 5, 15, 7u);
    const TwoGroupResult r = two_group_pls(input(g, g));
    ASSERT_TRUE(r.group2 && !r.mismatch);
    // q1 = 2 * 6 - 4 = 8, q2 = 2 * 5 - 4 = 6 axes.
    std::string expected = kHeader;
    for (int i = 1; i <= 6; ++i)
        expected += "\nSVD " + std::to_string(i) + " Block 1= 0.000  Block2= 0.000";
    EXPECT_EQ(report_of(r, true), expected);
    const BlockPls &p1 = r.group1->pls, &p2 = r.group2->pls;
    ASSERT_EQ(p1.scor.size(), 6);
    EXPECT_LT(max_abs(p1.scor - p2.scor), 1e-9);
    EXPECT_LT(max_abs(p1.sval - p2.sval), 1e-12);
}

TEST(TwoGroupPls, TurnedAndScaledVariablesChangeSingularValuesAndBlock2AnglesOnly) {
    // Group 2 = group 1 with its two variables turned by 30 degrees and tripled: X becomes
    // 3 X R, so block 1 keeps its axes, every block-2 axis turns by 30 degrees and the singular
    // values triple; the correlations stay.
    const Group g = synthetic_group(7, 5, 14, 11u);
    const Matrix v = variables_of(g.b1, 2, 5u);
    const double t = M_PI / 6;
    const Matrix R{{std::cos(t), -std::sin(t)}, {std::sin(t), std::cos(t)}};
    const TwoGroupResult r = two_group_pls(input(g.b1, v, g.b1, 3.0 * v * R, false));
    EXPECT_EQ(report_of(r, true), std::string(kHeader) +
                                      "\nSVD 1 Block 1= 0.000  Block2= 30.000"
                                      "\nSVD 2 Block 1= 0.000  Block2= 30.000");
    const BlockPls &p1 = r.group1->pls, &p2 = r.group2->pls;
    EXPECT_LT(max_abs(p2.sval - 3.0 * p1.sval), 1e-12 * p2.sval(0));
    EXPECT_LT(max_abs(p2.scor - p1.scor), 1e-10);
    // Variables are neither superimposed nor scored.
    EXPECT_EQ(r.references.reference2.size() + r.data2.size() + r.pw2g.size(), 0);
}

TEST(TwoGroupPls, DivisorIsTheSpecimenCountForVariablesAndNoneForLandmarks) {
    const Group a = synthetic_group(7, 5, 18, 1u), b = synthetic_group(7, 5, 16, 2u);
    const TwoGroupResult lm = two_group_pls(input(a, b));
    // The same block-2 scores given as variables.
    const Matrix s2 = lm.pw2.leftCols(lm.pw2.cols() - 1),
                 s2g = lm.pw2g.leftCols(lm.pw2g.cols() - 1);
    const TwoGroupResult var = two_group_pls(input(a.b1, s2, b.b1, s2g, false));
    EXPECT_EQ(report_of(var, true), report_of(lm, true));
    const BlockPls &l = lm.group1->pls, &v = var.group1->pls;
    ASSERT_EQ(v.sval.size(), l.sval.size());
    EXPECT_LT(max_abs(18.0 * v.sval - l.sval), 1e-6 * l.sval(0));
    EXPECT_LT(max_abs((v.U.transpose() * l.U).diagonal().cwiseAbs().array() - 1), 1e-6);
    EXPECT_LT(max_abs(v.scor - l.scor), 1e-6);
}

TEST(TwoGroupPls, ResultsFitTogether) {
    const Group a = synthetic_group(7, 5, 18, 1u), b = synthetic_group(7, 5, 16, 2u);
    const TwoGroupResult r = two_group_pls(input(a, b));
    ASSERT_EQ(r.references.reference1.cols(), 15);
    EXPECT_EQ(r.data1.col(14), a.b1.col(14));  // centroid sizes carried through
    EXPECT_EQ(r.pw1.rows(), 18);
    EXPECT_EQ(r.pw2g.rows(), 16);

    // Only the first axis pair decides group 2's signs: never both first products negative.
    const BlockPls &p1 = r.group1->pls, &p2 = r.group2->pls;
    EXPECT_FALSE(p1.U.col(0).dot(p2.U.col(0)) < 0 && p1.V.col(0).dot(p2.V.col(0)) < 0);
    // The block scores follow the aligned axes: swc1 = centred scores times U.
    const Matrix P1 = centre_columns(r.pw1.leftCols(10));
    EXPECT_LT(max_abs(P1 * p1.U - p1.swc1), 1e-12);
    EXPECT_LT(max_abs(r.pw1g.leftCols(10) * p2.U - p2.swc1), 1e-12);

    // Principal axes: unit eigenvectors of the score covariance, eigenvalues ascending.
    const Matrix C = covariance(P1), &vm = r.group1->vm1;
    const ColVector lambda = (vm.transpose() * C * vm).diagonal();
    EXPECT_LT((C * vm - vm * lambda.asDiagonal()).colwise().norm().maxCoeff(), 1e-10);
    EXPECT_LT(max_abs(vm.colwise().norm().array() - 1), 1e-12);
    for (Index j = 1; j < lambda.size(); ++j)
        EXPECT_GE(lambda(j), lambda(j - 1) - 1e-15);
}

TEST(TwoGroupPls, AxesBeyondTheRankAreNullWithHomologyOnOrOff) {
    // 5 and 6 specimens of 6 and 6 landmarks: 8 x 8 cross-products of rank 4 and 5.
    const Group a = synthetic_group(6, 6, 5, 31u), b = synthetic_group(6, 6, 6, 32u);
    const std::string on = report_of(two_group_pls(input(a, b)), true);
    const std::vector<std::string> lines = report_lines(on);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[5].rfind("SVD 4 Block 1= ", 0), 0u);  // axes 1 to 4 defined
    EXPECT_EQ(on.find("not defined"), on.find("SVD 5 ") + 15);
    for (int axis = 5; axis <= 8; ++axis)
        EXPECT_EQ(lines[axis + 1], "SVD " + std::to_string(axis) +
                                       " Block 1= not defined (null axis)  Block2= not defined "
                                       "(null axis)");
    // Homology off: separate block-2 references and block-1 angles only.
    const TwoGroupResult off = two_group_pls(input(a, b, false));
    EXPECT_EQ(report_lines(report_of(off, false)).back(), "SVD 8 Block 1= not defined (null axis)");
    EXPECT_NE(off.references.reference2, off.references.reference2g);
}

TEST(TwoGroupPls, SizeMismatchEndsAtTheGroup) {
    const Group a = synthetic_group(7, 5, 18, 1u), b = synthetic_group(7, 5, 16, 2u);
    const TwoGroupResult g2 = two_group_pls(input(a.b1, a.b2, b.b1, b.b2.topRows(15)));
    ASSERT_TRUE(g2.mismatch);
    EXPECT_EQ(g2.mismatch->group, 2);
    EXPECT_EQ(g2.mismatch->m1, 16);
    EXPECT_EQ(g2.mismatch->m2, 15);
    EXPECT_TRUE(g2.group1 && !g2.group2);
    EXPECT_EQ(g2.pw2g.rows(), 15);  // the scores are formed before the check

    const TwoGroupResult g1 = two_group_pls(
        input(a.b1, variables_of(a.b1, 2, 1u).topRows(17), b.b1, variables_of(b.b1, 2, 2u), false));
    ASSERT_TRUE(g1.mismatch);
    EXPECT_EQ(g1.mismatch->group, 1);
    EXPECT_FALSE(g1.group1);
    // Block 2 of groups with 5 and 6 landmarks, not pooled, is refused with its message in
    // dosvd2_test.cpp.
}

}  // namespace
}  // namespace tesvane::test
