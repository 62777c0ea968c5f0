// Loading the four blocks and the templates through the headless platform.
#include <gtest/gtest.h>

#include "app_fixture.hpp"
#include "geometry/centsize.hpp"

namespace tesvane::test {
namespace {

using LoadTest = AppTest;

TEST_F(LoadTest, PlethodonBlocksSummariesSuperimpositionAndPlots) {
    const auto jord = data_file("plethodon", "Jord_b1.txt");
    SKIP_WITHOUT(jord);
    ASSERT_TRUE(load("LoadG1B1", jord));
    EXPECT_EQ(control("FileBox1"), "File: Jord_b1.txt \n  20 Specimens \n   7 Landmarks");
    EXPECT_EQ(ui.dialog_titles().back(), "Enter file to Load?");
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), jord.parent_path()));

    const Matrix& data1 = ctx.vars.require("data1");
    ASSERT_EQ(data1.size(), 20 * 15);  // the summary above gives the shape
    EXPECT_LT((centsize(data1).array() - 1.0).abs().maxCoeff(), 1e-12);  // superimposed
    EXPECT_DOUBLE_EQ(data1(0, 14), 11.96937863);  // the file's centroid size is kept
    EXPECT_EQ(ctx.vars.require("reference1").cols(), 15);
    EXPECT_EQ(ctx.vars.scalar("vplotdensity"), 20);  // the display settings start with block 1

    // The specimens' landmarks, then the reference's: one drawing object each, however many
    // specimens there are.
    const auto children = ui.figure().axes().children();
    ASSERT_EQ(children.size(), 2u);
    const auto* newest = dynamic_cast<const fig::Line*>(children.front());
    const auto* specimens = dynamic_cast<const fig::Line*>(children.back());
    ASSERT_NE(newest, nullptr);
    ASSERT_NE(specimens, nullptr);
    EXPECT_EQ(newest->x.size(), 7u);
    EXPECT_EQ(specimens->x.size(), 20u * 7u);
    EXPECT_EQ(newest->marker, "+");
    EXPECT_EQ(newest->marker_size, 3);
    EXPECT_TRUE(ui.figure().axes().equal());

    // Group 2 block 1 keeps the group 1 reference and the settings the user changed.
    const Matrix reference1 = ctx.vars.require("reference1");
    ctx.vars.set("defangle", 33.0);
    ctx.vars.set("vlineformat2", std::string("g-"));
    ASSERT_TRUE(load("LoadG2B1", data_file("plethodon", "Teyah_b1.txt")));
    EXPECT_EQ(control("FileBox3"), "File: Teyah_b1.txt \n  20 Specimens \n   7 Landmarks");
    EXPECT_EQ(ctx.vars.require("reference1"), reference1);
    EXPECT_EQ(ctx.vars.scalar("defangle"), 33);
    EXPECT_EQ(ctx.vars.text("vlineformat2"), "g-");

    // A landmark block 2 of group 2 has its own reference only.
    ASSERT_TRUE(load("LoadG2B2", data_file("plethodon", "Teyah_b2.txt")));
    EXPECT_EQ(control("FileBox4"),
              "Block2-LM \nFile: Teyah_b2.txt \n  20 Specimens \n   5 Landmarks");
    EXPECT_EQ(ctx.vars.scalar("activem2"), 1);
    EXPECT_EQ(ctx.vars.require("reference2g").cols(), 11);
    EXPECT_TRUE(ctx.vars.empty("reference2"));
}

TEST_F(LoadTest, VariableBlock2PlotsColumnsWithWidenedLimits) {
    ui.control("Morph2").set_value(0);
    const auto f = write("vars.txt", "1 2 3 4\n2 3 4 5\n0 1 2 9\n");
    ASSERT_TRUE(load("LoadG1B2", f));
    EXPECT_EQ(control("FileBox2"),
              "Block2-Not LM \nFile: vars.txt \n   3 Specimens \n   4 Variables");
    EXPECT_EQ(ctx.vars.scalar("activem2"), 0);
    EXPECT_EQ(ctx.vars.require("data2").rows(), 3);
    const fig::Axes& axes = ui.figure().axes();
    EXPECT_EQ(axes.children().size(), 3u);
    EXPECT_FALSE(axes.equal());
    EXPECT_FALSE(axes.auto_limits());
    EXPECT_LE(axes.limits()[0], 0.0);  // x = 1 ... 4, widened by 1 on each side
    EXPECT_GE(axes.limits()[1], 5.0);
}

TEST_F(LoadTest, CancelledDialogChangesNothingButTheBlock2Kind) {
    ui.queue(DialogAnswer::cancel());
    ASSERT_TRUE(run_action(ctx, "LoadG1B1"));
    EXPECT_TRUE(ctx.vars.empty("data1"));
    EXPECT_TRUE(ctx.vars.empty("vplotdensity"));
    EXPECT_EQ(control("FileBox1"), " ");

    ui.control("Morph2").set_value(0);
    ui.queue(DialogAnswer::cancel());
    ASSERT_TRUE(run_action(ctx, "LoadG2B2"));
    EXPECT_EQ(ctx.vars.scalar("activem2"), 0);  // set before the dialog opened
    EXPECT_TRUE(ctx.vars.empty("data2g"));
}

TEST_F(LoadTest, TemplatesLoadInSixDialogsAndStopAtACancel) {
    const auto t = write("t.txt", "0 0 1 0 1 1 0\n");
    const auto c = write("c.txt", "1 1\n2 2\n");
    for (const auto& p : {t, c, c})
        ui.queue(DialogAnswer::file(p.string()));
    ui.queue(DialogAnswer::cancel());
    ASSERT_TRUE(run_action(ctx, "LoadTemplate"));
    const std::vector<std::string> titles = {
        "Enter Template File for Group1", "Enter Correspondence list for Group 1 block 1",
        "Enter Correspondence list for Group 1 block 2", "Enter Template File for Group2"};
    EXPECT_EQ(ui.dialog_titles(), titles);
    EXPECT_EQ(ctx.vars.require("templatea").cols(), 7);
    EXPECT_EQ(ctx.vars.require("clist2b").rows(), 2);
    EXPECT_TRUE(ctx.vars.empty("templateb"));
}

TEST_F(LoadTest, DisplayRotationTurnsThePlottedLandmarks) {
    ui.control("RefAngleBox").set_string("90");
    const auto f = write("one.txt", "1 0 0 1 -1 0 1\n");
    ASSERT_TRUE(load("LoadG1B1", f));
    // The plotted reference is the consensus turned by 90 degrees: (x, y) -> (-y, x).
    const Matrix ref = ctx.vars.require("reference1");
    const auto children = ui.figure().axes().children();
    ASSERT_EQ(children.size(), 2u);
    const auto* first_landmark = dynamic_cast<const fig::Line*>(children.front());
    ASSERT_NE(first_landmark, nullptr);
    EXPECT_NEAR(first_landmark->x[0], -ref(0, 1), 1e-12);
    EXPECT_NEAR(first_landmark->y[0], ref(0, 0), 1e-12);
}

}  // namespace
}  // namespace tesvane::test
