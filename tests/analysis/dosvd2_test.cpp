// The PLS step, the null-axis rule and the scores on a precomputed basis against hand-computed
// values; the analysis action: what it stores and reports, the sample-size checks with what they
// leave behind, and the permutation tests that follow the angle report when PermuteButton is
// ticked. The numbers of the analysis are tested in two_group_pls_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/DoSVD2.hpp"
#include "analysis/two_block_pls.hpp"
#include "analysis/two_group_pls.hpp"
#include "analysis/warp_basis.hpp"
#include "analysis_fixture.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpw_arbit.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/stats.hpp"

namespace tesvane::test {
namespace {

TEST(BlockPls, SingularValuesOfAHandComputedCrossProduct) {
    const Matrix left{{1, 0}, {-1, 1}, {0, -1}}, right{{3, 1}, {-3, 0}, {0, -1}};
    const BlockPls r = block_pls(left, right, 2.0, left, right);
    ASSERT_EQ(r.sval.size(), 2);
    // 2X = [6 1; -3 1]: singular values from (2X)^T (2X) = [45 3; 3 2], trace 47, det 81.
    const double t = 47.0 / 4, d = 81.0 / 16;
    EXPECT_NEAR(r.sval(0), std::sqrt((t + std::sqrt(t * t - 4 * d)) / 2), 1e-12);
    EXPECT_NEAR(r.sval(1), std::sqrt((t - std::sqrt(t * t - 4 * d)) / 2), 1e-12);
    EXPECT_NEAR(r.S(0, 1), 0.0, 0.0);
    // Thin factors: the same axes, without the null-space columns.
    const Matrix a = centre_columns(Matrix::Random(12, 4)),
                 b = centre_columns(Matrix::Random(12, 7));
    const BlockPls full = block_pls(a, b, 1.0, a, b),
                   thin = block_pls(a, b, 1.0, a, b, kAllAxes, true);
    EXPECT_EQ(full.V.cols(), 7);
    EXPECT_LT((thin.U - full.U).cwiseAbs().maxCoeff(), 1e-14);
    EXPECT_LT((thin.V - full.V.leftCols(4)).cwiseAbs().maxCoeff(), 1e-14);
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

TEST(AxisAngle, AbsoluteCosineInDegreesAndLengthCheck) {
    const Matrix a = Matrix::Identity(2, 2);
    const Matrix b{{std::cos(M_PI / 3), -1}, {-std::sin(M_PI / 3), 0}};
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

const char kHeader[] = "Angles between SVD axis of the two blocks ";

class DoSVD2Test : public AnalysisTest {
  protected:
    void ask_permutations(const std::string& count) {
        ui.control("PermuteButton").set_value(1);
        ui.control("PermBox").set_string(count);
    }

    Group g1 = synthetic_group(7, 5, 18, 1u), g2 = synthetic_group(7, 5, 16, 2u);
};

TEST_F(DoSVD2Test, StoresTheAnalysisAndShowsItsAngleReport) {
    set_groups(g1, g2);
    ui.control("ShowBox").set_string("3");
    ASSERT_TRUE(action("DoSVD2"));
    const TwoGroupResult r = two_group_pls({g1.b1, g2.b1, g1.b2, g2.b2, true, true});
    for (const auto& [name, value] :
         {std::pair<const char*, const Matrix*>{"reference1", &r.references.reference1},
          {"reference2", &r.references.reference2},
          {"reference2g", &r.references.reference2g},
          {"data1", &r.data1},
          {"data2g", &r.data2g},
          {"pw1g", &r.pw1g},
          {"pw2", &r.pw2},
          {"ubee2", &r.group1->pls.U},
          {"sbee2g", &r.group2->pls.S},
          {"vbee2g", &r.group2->pls.V},
          {"swc1g", &r.group2->pls.swc1},
          {"swc2", &r.group1->pls.swc2},
          {"Vm1c", &r.group1->vm1},
          {"Vm2g", &r.group2->vm2}})
        EXPECT_EQ(var(name), *value) << name;
    EXPECT_EQ(var("scor2g"), Matrix(r.group2->pls.scor));
    EXPECT_EQ(var("sval2"), Matrix(r.group1->pls.sval));
    const BlockPls &a = r.group1->pls, &b = r.group2->pls;
    EXPECT_EQ(report(), angle_report(a.U, a.S, a.V, b.U, b.S, b.V, true));
    EXPECT_EQ(control("ShowBox"), "1");
    EXPECT_EQ(ctx.vars.scalar("homology2"), 1);  // from HomologyButton
    EXPECT_EQ(ctx.vars.scalar("referencetype1"), 0);
    EXPECT_EQ(ui.control("HomologyButton").enable(), "off");
}

TEST_F(DoSVD2Test, VariableBlock2KeepsTheStoredHomologyFlagAndTheButton) {
    const Matrix v = variables_of(g1.b1, 2, 5u), vg = variables_of(g2.b1, 2, 6u);
    put_blocks(ctx, g1.b1, v, g2.b1, vg, false);
    ctx.vars.set("homology2", 1.0);
    ui.control("HomologyButton").set_value(0);
    ASSERT_TRUE(action("DoSVD2"));
    EXPECT_NE(report().find("Block2= "), std::string::npos);  // block-2 angles from the flag
    EXPECT_EQ(ctx.vars.scalar("homology2"), 1);
    EXPECT_EQ(ui.control("HomologyButton").enable(), "on");
    EXPECT_EQ(var("reference2").size(), 0);
    EXPECT_EQ(var("data2"), v);  // variables are stored as they were
}

TEST_F(DoSVD2Test, Group2SizeMismatchKeepsGroup1ResultsAndNoReport) {
    set_groups(g1, {g2.b1, g2.b2.topRows(15)});
    ui.control("ShowBox").set_string("4");
    ui.control("AuxResults").set_string("earlier report");
    EXPECT_FALSE(action("DoSVD2"));
    EXPECT_EQ(last_message(), "The samples sizes do not match, shape and shape");
    EXPECT_NE(std::find(ui.console_lines().begin(), ui.console_lines().end(), "[m1 m2] = [16 15]"),
              ui.console_lines().end());
    EXPECT_EQ(var("ubee2").rows(), 10);
    EXPECT_EQ(var("ubee2g").size(), 0);
    EXPECT_EQ(var("pw2g").rows(), 15);  // the scores were stored before the check
    EXPECT_EQ(control("ShowBox"), "4");
    EXPECT_EQ(report(), "earlier report");
}

TEST_F(DoSVD2Test, Group1VariableMismatchStopsBeforeAnyDecomposition) {
    put_blocks(ctx, g1.b1, variables_of(g1.b1, 2, 1u).topRows(17), g2.b1,
               variables_of(g2.b1, 2, 2u), false);
    EXPECT_FALSE(action("DoSVD2"));
    EXPECT_EQ(last_message(), "The samples sizes do not match, shape and variable");
    EXPECT_EQ(var("pw1").rows(), 18);
    EXPECT_NE(var("data1"), g1.b1);  // superimposed
    EXPECT_EQ(var("ubee2").size(), 0);
    EXPECT_EQ(var("homology2").size(), 0);
}

TEST_F(DoSVD2Test, MissingOrUnpoolableBlocksFailWithoutChangingResults) {
    ctx.vars.set("data1", g1.b1);
    EXPECT_FALSE(action("DoSVD2"));
    EXPECT_NE(last_console().find("data1g"), std::string::npos);
    EXPECT_EQ(var("reference1").size(), 0);

    set_groups(g1, {synthetic_group(6, 5, 16, 9u).b1, g2.b2});
    EXPECT_FALSE(action("DoSVD2"));
    EXPECT_NE(last_console().find("Block 1 has 15 columns in group 1 but 13 in group 2"),
              std::string::npos);
    EXPECT_EQ(var("reference1").size(), 0);
    EXPECT_EQ(var("data1"), g1.b1);
    EXPECT_EQ(report(), "");

    // Unpooled block 2 of 5 and 6 landmarks: axes of different lengths cannot be compared.
    ui.control("HomologyButton").set_value(0);
    set_groups(g1, synthetic_group(7, 6, 16, 3u));
    EXPECT_FALSE(action("DoSVD2"));
    EXPECT_NE(last_console().find("block 2 has 6 variables in group 1 but 8 in group 2"),
              std::string::npos);
    EXPECT_EQ(var("reference1").size() + var("ubee2").size(), 0);
}

TEST_F(DoSVD2Test, UntickedOrUnusablePermutationCountLeavesTheAnalysisAsItWas) {
    set_groups(g1, synthetic_group(7, 5, 14, 2u));
    EXPECT_EQ(control("PermBox"), "999");
    ASSERT_TRUE(action("DoSVD2"));
    // Running again gives the same angles, up to the rounding of the references.
    const std::string angles = report();
    EXPECT_EQ(angles.find("Permutation"), std::string::npos);
    EXPECT_TRUE(ui.messages().empty());
    for (const char* bad : {"", "abc", "0", "2.5", "3 4"}) {
        ask_permutations(bad);
        EXPECT_FALSE(action("DoSVD2")) << bad;  // the message about PermBox stops it
        EXPECT_EQ(report(), angles) << bad;
        EXPECT_NE(last_message().find("PermBox"), std::string::npos) << bad;
    }
    // An analysis that stops at its sample-size message is not followed by the tests.
    ask_permutations("19");
    ctx.vars.set("data2g", Matrix(var("data2g").topRows(10)));
    action("DoSVD2");
    EXPECT_EQ(last_message(), "The samples sizes do not match, shape and shape");
    EXPECT_EQ(report().find("Permutation"), std::string::npos);
}

TEST_F(DoSVD2Test, PublishedDatasetsReportFromTheStoredAxesThenPermutationsAndBootstrap) {
    SKIP_WITHOUT(dataset("plethodon"));
    SKIP_WITHOUT(dataset("plethodon_vars"));
    for (const bool landmarks2 : {true, false}) {
        ctx.vars.clear("homology2");  // as in a fresh session: no block-2 angles for variables
        ui.control("Morph2").set_value(landmarks2 ? 1 : 0);
        load_groups(dataset(landmarks2 ? "plethodon" : "plethodon_vars"), "Jord", "Teyah");
        ask_permutations("99");
        ctx.resampling = {77, 2};
        ASSERT_TRUE(action("DoSVD2"));
        const std::string text = report();
        // Each angle line from the absolute cosine of the groups' axes (7 and 5 landmarks:
        // min(10, 6) axes; two variables: 2), each correlation from the identity swc1^T swc2 = S
        // of centred scores (S times the divisor with variables).
        auto angle = [&](const char* a, const char* b, Index i) {
            const double c = std::abs(var(a).col(i).dot(var(b).col(i)));
            return std::acos(std::min(c, 1.0)) * 180 / M_PI;
        };
        std::string head = std::string(kHeader) + "\n";
        for (Index i = 0; i < (landmarks2 ? 6 : 2); ++i) {
            head += cformat("\nSVD %i Block 1= %2.3f", int(i + 1), angle("ubee2", "ubee2g", i));
            if (landmarks2)
                head += cformat("  Block2= %2.3f", angle("vbee2", "vbee2g", i));
            const double s = var("sbee2")(i, i) * (landmarks2 ? 1.0 : double(var("swc1").rows()));
            EXPECT_NEAR(var("scor2")(i),
                        s / (var("swc1").col(i).norm() * var("swc2").col(i).norm()), 1e-10);
        }
        head +=
            "\n\nPermutation tests over 99 permutations per group (seed 77)"
            "\nRows of block 2 permuted against block 1";
        ASSERT_EQ(text.substr(0, head.size()), head);
        // The observed statistics are those of the analysis, with its divisor for variables.
        EXPECT_NE(text.find(cformat("\n1      %.6g ", var("sval2")(0))), std::string::npos);
        EXPECT_NE(text.find("r-PLS (axis 1) = " + cformat("%2.5f", var("scor2")(0)) + "   p = "),
                  std::string::npos);
        EXPECT_NE(text.find("r-PLS (axis 1) = " + cformat("%2.5f", var("scor2g")(0))),
                  std::string::npos);
        // Block 1 of 7 landmarks (q = 10) or of 12 (q = 20); block 2 of 5 landmarks (q = 6) or
        // two variables.
        EXPECT_NE(text.find(landmarks2 ? "\nSV      Block 1 (q = 10)          Block2 (q = 6)\n"
                                       : "\nSV      Block 1 (q = 20)\n"),
                  std::string::npos);

        // The bootstrap on the same data: its observed column and correlations are these.
        ui.control("BootBox").set_string("20");
        ASSERT_TRUE(action("BootSVD2Angle"));
        const std::string boot = report();
        EXPECT_NE(boot.find("\n\nBlock 1\n1      " + cformat("%2.3f", angle("ubee2", "ubee2g", 0)) +
                            "       "),
                  std::string::npos)
            << boot;
        for (const auto& [group, scor] : {std::pair{1, "scor2"}, {2, "scor2g"}})
            EXPECT_NE(boot.find(cformat("\nThe observed correlation for Group %i was %2.5f\n",
                                        group, var(scor)(0))),
                      std::string::npos);
    }
}

}  // namespace
}  // namespace tesvane::test
