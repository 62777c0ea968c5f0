// The PLS step, the null-axis rule, the scores on a precomputed basis, and the bootstrap's
// draws, order statistics and report text, checked against hand-computed values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/bootstrap.hpp"
#include "analysis/two_block_pls.hpp"
#include "analysis/warp_basis.hpp"
#include "analysis_fixture.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpw_arbit.hpp"
#include "platform/error.hpp"
#include "platform/stats.hpp"

namespace tesvane::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(BlockPls, SingularValuesOfAHandComputedCrossProduct) {
    Matrix left(3, 2), right(3, 2);
    left << 1, 0, -1, 1, 0, -1;
    right << 3, 1, -3, 0, 0, -1;
    const BlockPls r = block_pls(left, right, 2.0, left, right);
    ASSERT_EQ(r.sval.size(), 2);
    // 2X = [6 1; -3 1]: singular values from (2X)^T (2X) = [45 3; 3 2], trace 47, det 81.
    const double t = 47.0 / 4, d = 81.0 / 16;
    EXPECT_NEAR(r.sval(0), std::sqrt((t + std::sqrt(t * t - 4 * d)) / 2), 1e-12);
    EXPECT_NEAR(r.sval(1), std::sqrt((t - std::sqrt(t * t - 4 * d)) / 2), 1e-12);
    EXPECT_NEAR(r.S(0, 1), 0.0, 0.0);
}

TEST(BlockPls, DivisorScalesOnlyTheSingularValuesAndThinFactorsAgree) {
    Matrix a = centre_columns(Matrix::Random(12, 4)), b = centre_columns(Matrix::Random(12, 7));
    const BlockPls plain = block_pls(a, b, 1.0, a, b);
    const BlockPls scaled = block_pls(a, b, 12.0, a, b);
    EXPECT_EQ(plain.V.cols(), 7);
    ASSERT_EQ(plain.sval.size(), 4);
    for (Index i = 0; i < 4; ++i) {
        EXPECT_NEAR(plain.sval(i), 12.0 * scaled.sval(i), 1e-12 * plain.sval(0));
        EXPECT_NEAR(std::abs(plain.U.col(i).dot(scaled.U.col(i))), 1.0, 1e-12);
        EXPECT_NEAR(plain.scor(i), scaled.scor(i), 1e-12);
        // Centred scores: swc1^T swc2 = U^T X V = S, so the correlation is S_ii over the norms.
        EXPECT_NEAR(plain.scor(i),
                    plain.sval(i) / (plain.swc1.col(i).norm() * plain.swc2.col(i).norm()), 1e-12);
        EXPECT_LE(plain.sval(i), plain.sval(std::max<Index>(i - 1, 0)));
    }

    // Thin factors: the same axes, without the null-space columns.
    const BlockPls thin = block_pls(a, b, 1.0, a, b, kAllAxes, true);
    EXPECT_LT((thin.U - plain.U).cwiseAbs().maxCoeff(), 1e-14);
    EXPECT_LT((thin.V - plain.V.leftCols(4)).cwiseAbs().maxCoeff(), 1e-14);
}

TEST(NullAxes, ValuesNotAboveTheToleranceAreNull) {
    Matrix S = Matrix::Zero(3, 5);
    S(0, 0) = 2.0;
    S(1, 1) = 1e-3;
    S(2, 2) = 5 * std::numeric_limits<double>::epsilon() * 2.0;  // exactly the tolerance
    EXPECT_DOUBLE_EQ(null_tolerance(S), 5 * std::numeric_limits<double>::epsilon() * 2.0);
    EXPECT_FALSE(is_null_axis(S, 0));
    EXPECT_FALSE(is_null_axis(S, 1));
    EXPECT_TRUE(is_null_axis(S, 2));
    EXPECT_TRUE(is_null_axis(Matrix::Zero(2, 2), 0));  // nothing but zeros
}

TEST(NullAxes, FewerSpecimensThanVariablesLeaveTrailingAxesNull) {
    // 5 centred specimens: rank at most 4 whatever the numbers of variables.
    const Matrix a = centre_columns(Matrix::Random(5, 8));
    const Matrix b = centre_columns(Matrix::Random(5, 9));
    const BlockPls r = block_pls(a, b, 1.0, a, b);
    for (Index i = 0; i < 8; ++i)
        EXPECT_EQ(is_null_axis(r.S, i), i >= 4) << "axis " << i + 1;
}

TEST(AxisAngle, AbsoluteCosineInDegreesAndLengthCheck) {
    Matrix a(2, 2), b(2, 2);
    a << 1, 0, 0, 1;
    b << std::cos(M_PI / 3), -1, -std::sin(M_PI / 3), 0;
    EXPECT_NEAR(axis_angle(a, b, 0), 60.0, 1e-12);
    EXPECT_NEAR(axis_angle(a, b, 1), 90.0, 1e-12);
    EXPECT_NEAR(axis_angle(a, -a, 0), 0.0, 0.0);               // signs do not matter
    EXPECT_NEAR(axis_angle(a, a * (1 + 1e-15), 0), 0.0, 0.0);  // a cosine past 1 counts as 0
    EXPECT_NEAR(axis_angle(a, a, 0, 0.0), 90.0, 1e-12);        // a sign factor of 0
    EXPECT_THROW(axis_angle(a, Matrix::Identity(3, 3), 0), Error);
}

TEST(WarpBasis, ScoresEqualThoseOfGetpwArbit) {
    const Group g = synthetic_group(9, 5, 15, 21u);
    const Consensus c = getconsensus(g.b1);
    const WarpBasis basis = warp_basis(c.reference);
    const Matrix expected = getpw_arbit(c.reference, c.superimposed);
    const Matrix scores = warp_scores(basis, c.superimposed);
    ASSERT_EQ(scores.cols(), expected.cols());
    EXPECT_LT((scores - expected).cwiseAbs().maxCoeff(), 1e-15 * expected.cwiseAbs().maxCoeff());
    EXPECT_TRUE((scores.col(scores.cols() - 1).array() == c.superimposed.col(18).array()).all());
    EXPECT_THROW(warp_scores(basis, g.b2), Error);  // rows of another landmark count
}

TEST(BootstrapDraws, ResampleSizesFollowTheSmallerGroup) {
    for (const auto& [n1, n2, first, second] :
         {std::tuple{30, 20, 30, 20}, {20, 30, 20, 20}, {25, 25, 25, 25}}) {
        const ResampleSizes r = resample_sizes(n1, n2);
        EXPECT_EQ(r.first, first) << n1 << " " << n2;
        EXPECT_EQ(r.second, second) << n1 << " " << n2;
    }
}

struct IndexCase {
    int nboots;
    double alpha;
    double rangepoint;
    Index low, high;
    bool raised;
};

TEST(BootIndices, RangepointAndNinetyFivePercentRows) {
    const IndexCase cases[] = {
        {1000, 0.05, 950, 25, 975, false}, {100, 0.01, 99, 2, 98, false},
        {99, 0.1, 90, 2, 97, false},       {40, 0.05, 38, 1, 39, false},
        {20, 0.05, 19, 1, 20, false},      {100, 0.001, 99, 2, 98, true},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.nboots) + " / " + std::to_string(c.alpha));
        const BootIndices idx = boot_indices(c.nboots, c.alpha);
        EXPECT_EQ(idx.rangepoint, c.rangepoint);
        EXPECT_EQ(idx.low, c.low);
        EXPECT_EQ(idx.high, c.high);
        EXPECT_EQ(idx.alpha_raised, c.raised);
    }
    EXPECT_EQ(boot_indices(100, 0.001).alpha, 0.01);
    EXPECT_EQ(boot_indices(1, 0.05).rangepoint, 0);  // alpha raised to 1: no bound row
    EXPECT_EQ(boot_indices(100, 1.0).rangepoint, 0);
}

// Replicate tables of 20 rows whose sorted columns and correlations are known.
BootstrapTables known_tables() {
    BootstrapTables t;
    const int order[20] = {7, 19, 3, 12, 0, 15, 9, 1, 18, 5, 11, 14, 2, 16, 8, 13, 4, 17, 6, 10};
    for (ReplicateSet* s : {&t.set1, &t.set2}) {
        s->angle1.resize(20, 2);
        s->angle2.resize(20, 2);
        s->corr.resize(20);
    }
    for (int r = 0; r < 20; ++r) {
        const double v = order[r] + 1;  // a permutation of 1 ... 20
        t.set1.angle1.row(r) << v, 2 * v;
        t.set2.angle1.row(r) << v + 0.5, 80;
        t.set1.angle2.row(r) << v / 4, 3;
        t.set2.angle2.row(r) << 10, v / 8;
        t.set1.corr(r) = v / 100;
        t.set2.corr(r) = 0.5;
    }
    t.set2.angle1(3, 1) = kNaN;  // one replicate with a null second axis
    return t;
}

TEST(BootstrapReport, TextPieceByPieceWithHandComputedValues) {
    BootReportInput in;
    in.nboots = 20;
    in.idx = boot_indices(20, 0.05);  // bound row 19, range rows 1 and 20
    in.homology2 = true;
    in.obsangle1 = RowVector{{12.3456, kNaN}};
    in.obsangle2 = RowVector{{1, 89.9999}};
    in.scor2 = 0.987654321;
    in.scor2g = -0.5;
    // Correlations 0.01 ... 0.20: standard error 0.01 sqrt(35); differences -0.49 ... -0.30.
    const std::string expected =
        "The Angle ranges over 20 bootstraps at alpha = 0.05000 were"
        "\nSV      Observed      Group1      Group2"
        "\n\nBlock 1"
        "\n1      12.346       19.000      19.500"
        "\n2      not defined       38.000      not defined"
        "\n\nBlock2"
        "\n1      1.000       4.750      10.000"
        "\n2      90.000       3.000      2.375"
        "\n\nRange of correlation values for SVD axes 1 Group 1"
        "\nThe observed correlation for Group 1 was 0.98765"
        "\nWith a 95 percent range of 0.01000 to 0.20000"
        "\nWith a Standard Error of 0.05916"
        "\n\nRange of correlation values for SVD axes 1 Group2"
        "\nThe observed correlation for Group 2 was -0.50000"
        "\nWith a 95 percent range of 0.50000 to 0.50000"
        "\nWith a Standard Error of 0.00000"
        "\n\nRange of the difference in correlation values (g1-g2)"
        "\nThe 95 percent range is -0.49000 to -0.30000"
        "\nThe min and max obs. diff are -0.49000 and -0.30000";
    EXPECT_EQ(bootstrap_report(in, known_tables()), expected);

    in.homology2 = false;
    const std::string without = bootstrap_report(in, known_tables());
    EXPECT_EQ(without.find("Block2"), std::string::npos);
    EXPECT_NE(without.find("\n2      not defined       38.000      not defined\n\nRange"),
              std::string::npos);
}

}  // namespace
}  // namespace tesvane::test
