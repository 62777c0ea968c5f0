// Blocks loaded from TPS, NTS and CSV files: specimen IDs kept beside the blocks and checked by
// DoSVD2, and the writers called from scripts.
#include <gtest/gtest.h>

#include <cmath>

#include "app_fixture.hpp"

namespace tesvane::test {
namespace {

using FieldFormatTest = AppTest;

// Four specimens of four landmarks, no two of the same shape.
const char* const kTps =
    "LM=4\n0 0\n1 0\n1 1\n0 1\nID=A\nLM=4\n0 0\n1.2 0\n1 1\n0 1\nID=B\n"
    "LM=4\n0 0\n1 0.1\n1 1.1\n0 1\nID=C\nLM=4\n0.1 0\n1 0\n1 1\n0 0.9\nID=D\n";

TEST_F(FieldFormatTest, IdsThatDisagreeStopTheAnalysisBeforeItChangesAnything) {
    ASSERT_TRUE(load("LoadG1B1", write("b1.tps", kTps)));
    ui.control("Morph2").set_value(0);
    ASSERT_TRUE(load("LoadG1B2", write("b2.csv", "id,logcs\nA,1\nC,2\nB,3\nD,4\n")));
    EXPECT_EQ(ctx.vars.text("ids2"), "A\nC\nB\nD");
    ASSERT_TRUE(
        load("LoadG2B1", write("g2b1.nts",
                               "1 4L 8 0 DIM=2\nA B C D\n0 0 1 0 1 1 0 1\n0 0 1.2 0 1 1 0 1\n"
                               "0 0 1 0.1 1 1.1 0 1\n0.1 0 1 0 1 1 0 0.9\n")));
    ASSERT_TRUE(load("LoadG2B2", write("g2b2.txt", "1\n2\n3\n4\n")));
    ctx.vars.set("homology2", 1.0);

    EXPECT_FALSE(run_action(ctx, "DoSVD2"));  // the message box stopped it
    EXPECT_EQ(last_message(), "Group 1: specimen 2 is \"B\" in block 1 but \"C\" in block 2");
    EXPECT_TRUE(ctx.vars.empty("pw1"));
    EXPECT_TRUE(ctx.vars.empty("ubee2"));

    // Reloading with a file that has no IDs drops the old ones; then the analysis runs.
    ASSERT_TRUE(load("LoadG1B2", write("b2.txt", "1\n2\n3\n4\n")));
    EXPECT_TRUE(ctx.vars.empty("ids2"));
    ASSERT_TRUE(run_action(ctx, "DoSVD2"));
    EXPECT_FALSE(ctx.vars.empty("ubee2"));

    ASSERT_TRUE(run_action(ctx, "Clear&reset"));
    for (const char* v : {"ids1", "ids2", "ids1g", "ids2g"})
        EXPECT_TRUE(ctx.vars.empty(v)) << v;
}

TEST_F(FieldFormatTest, ScriptsWriteBlocksWithTheirIds) {
    write("b1.tps", kTps);
    const auto script =
        write("ids.tvs",
              "answer file b1.tps\naction LoadG1B1\n"
              "call writecsv \"out.csv\" $data1 $ids1\ncall writetps out.tps $data1\n");
    std::ostringstream out, err;
    ASSERT_EQ(run_script(script.string(), out, err, nullptr), 0) << err.str();
    const std::string csv = read(dir / "out.csv");
    EXPECT_EQ(csv.substr(0, 30), "id,x1,y1,x2,y2,x3,y3,x4,y4,cs\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 5);
    EXPECT_NE(csv.find("\nD,"), std::string::npos);
    EXPECT_EQ(read(dir / "out.tps").find("ID="), std::string::npos);
    EXPECT_EQ(read(dir / "out.tps").substr(0, 5), "LM=4\n");
    // Four columns are not landmarks and a centroid size: an error, and no file.
    EXPECT_FALSE(Tesvane6i_callback(ctx, "writetps", {std::string("x.tps"), Matrix::Ones(2, 4)}));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.tps"));
}

TEST_F(FieldFormatTest, TheTpsCheckBoxesChooseHowCurvesAndNegativeCoordinatesAreRead) {
    const auto file = write("curves.tps",
                            "LM=3\n-0.5 0\n1 0\n0 1\nCURVES=1\nPOINTS=1\n2 2\nID=A\n"
                            "LM=3\n0 0\n1.5 0\n0 1\nCURVES=1\nPOINTS=1\n3 2\nID=B\n"
                            "LM=3\n0 0\n1 0\n0 1.5\nCURVES=1\nPOINTS=1\n2 4\nID=C\n");
    ASSERT_TRUE(load("LoadG1B1", file));  // by default curves are left out, negatives are data
    Matrix data1 = ctx.vars.matrix("data1");
    ASSERT_EQ(data1.cols(), 7);
    EXPECT_NEAR(data1(0, 6), std::sqrt(11.0 / 6), 1e-12);  // the centroid size with x = -0.5

    ui.control("TpsCurvesButton").set_value(1);
    ASSERT_TRUE(load("LoadG1B1", file));
    data1 = ctx.vars.matrix("data1");
    ASSERT_EQ(data1.cols(), 9);
    EXPECT_NEAR(data1(2, 8), std::sqrt(13.4375), 1e-12);  // with the curve point (2, 4)

    ui.control("TpsMissingButton").set_value(1);
    EXPECT_FALSE(load("LoadG1B1", file));
    EXPECT_NE(last_message().find("specimen 1 (\"A\"): landmark 1 is missing"), std::string::npos)
        << last_message();
    EXPECT_EQ(ctx.vars.matrix("data1"), data1);  // the block loaded before stays
}

}  // namespace
}  // namespace tesvane::test
