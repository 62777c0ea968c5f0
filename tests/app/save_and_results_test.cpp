// The Save actions, the results window and its save, and a script that uses them.
#include <gtest/gtest.h>

#include <tuple>

#include "app/AuxBox.hpp"
#include "app_fixture.hpp"

namespace tesvane::test {
namespace {

using SaveTest = AppTest;

// What each kind of save writes: "%g " values, then its label. Principal axis 1 is the last
// column; a PLS axis is the column the Axis box names; a reference is written whole.
TEST_F(SaveTest, AxesAndReferencesAsTheyAreWritten) {
    Matrix vm(4, 2), u(2, 2), r(1, 5);
    vm << 9, 0.5, 9, 0.00001, 9, 1000000, 9, 1.0 / 3;
    u << 0.6, -0.8, 0.8, 0.6;
    r << 0.25, -0.5, 0, 0.125, 7;
    ctx.vars.set("Vm1c", vm);
    ctx.vars.set("ubee2", u);
    ctx.vars.set("reference2g", r);
    write("out.txt", "old content that is longer than any of the new ones\n");
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"SavePCB1G1", "1", "0.5 1e-05 1e+06 0.333333 1  % PC Axis Block 1, Group 1 Tesvane \n "},
        {"SaveSVDB1G1", "2", "-0.8 0.6 1  % SVD Axis Block 1, Group 1 Tesvane \n "},
        {"SaveRef2g", "2",
         "0.25 -0.5 0 0.125 7  % Reference form from Block 2, Group 2 SVD-Tesvane \n "},
    };
    for (const auto& [action, axis, text] : cases) {
        ui.control("ShowBox").set_string(axis);
        ui.queue(DialogAnswer::file((dir / "out.txt").string()));
        ASSERT_TRUE(run_action(ctx, action));
        EXPECT_EQ(read(dir / "out.txt"), text) << action;
    }
    EXPECT_EQ(ui.dialog_titles().front(), "File Name for PCA Axis, Block 1, Group 1");
}

TEST_F(SaveTest, EmptyAnalysisIsAMessageAndNoFile) {
    ui.queue(DialogAnswer::file((dir / "none.txt").string()));
    run_action(ctx, "SaveSVDB1G1");
    EXPECT_EQ(last_message(),
              "Nothing to save: ubee2 is empty (load the data and run the analysis first)");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.txt"));

    run_action(ctx, "SavePCB2G2");  // principal axes are checked before the dialog
    EXPECT_EQ(ui.dialog_titles().size(), 1u);
    ui.queue(DialogAnswer::file((dir / "none.txt").string()));
    run_action(ctx, "SaveRef1");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.txt"));
}

TEST_F(SaveTest, Block2OfVariablesHasNoReferenceFormToSave) {
    ctx.vars.set("activem2", 0.0);
    for (const char* action : {"SaveRef2", "SaveRef2g"}) {
        ui.queue(DialogAnswer::file((dir / "none.txt").string()));
        run_action(ctx, action);
        EXPECT_NE(last_message().find("block 2 holds variables, which have no reference form"),
                  std::string::npos)
            << action << ": " << last_message();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "none.txt"));
}

TEST_F(SaveTest, BadAxisOrAFolderNameIsAMessageAndTheOldFileStays) {
    ctx.vars.set("vbee2g", Matrix::Constant(3, 1, 2.0));
    write("keep.txt", "precious\n");
    ui.control("ShowBox").set_string("2");
    ui.queue(DialogAnswer::file((dir / "keep.txt").string()));
    run_action(ctx, "SaveSVDB2G2");
    EXPECT_EQ(last_message(), "Axis 2 does not exist: vbee2g has 1 axes");
    EXPECT_EQ(read(dir / "keep.txt"), "precious\n");
    ui.control("ShowBox").set_string("one");
    ui.queue(DialogAnswer::file((dir / "keep.txt").string()));
    run_action(ctx, "SaveSVDB2G2");
    EXPECT_EQ(last_message(), "The axis number \"one\" in the Axis box is not a whole number");
    EXPECT_EQ(read(dir / "keep.txt"), "precious\n");
    ctx.vars.set("reference1", Matrix::Ones(1, 3));
    std::filesystem::create_directories(dir / "sub");
    ui.queue(DialogAnswer::file((dir / "sub").string()));
    run_action(ctx, "SaveRef1");
    EXPECT_EQ(last_message(), "Cannot write " + (dir / "sub").string() + ": it is a folder");
}

using ResultsTest = AppTest;

TEST_F(ResultsTest, ReportReopensAClosedWindowAndSavesAppendOrNothingWhenCancelled) {
    ui.remove_control("AuxResults");
    show_report(ctx, "Angles\nSVD 1 Block 1= 3.000");
    EXPECT_EQ(ui.results_window_opened(), 1);
    EXPECT_EQ(control("AuxResults"), "Angles\nSVD 1 Block 1= 3.000");

    write("report.txt", "earlier\n");
    for (int i = 0; i < 2; ++i) {
        ui.queue(DialogAnswer::file((dir / "report.txt").string()));
        ASSERT_TRUE(Tesvane6i_callback(ctx, "AuxBoxsw", {}));
    }
    EXPECT_EQ(ui.dialog_titles().back(), "File Name for Partial Warp Scores");
    EXPECT_EQ(read(dir / "report.txt"),
              "earlier\nAngles\nSVD 1 Block 1= 3.000 \nAngles\nSVD 1 Block 1= 3.000 \n");
    ui.queue(DialogAnswer::cancel());  // a cancelled save writes nothing
    ASSERT_TRUE(Tesvane6i_callback(ctx, "AuxBoxsw", {}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

using ScriptTest = AppTest;

TEST_F(ScriptTest, ReplaysLoadsAndWritesTheSession) {
    write("a.txt", "0 0 1 0 0 1 1\n1 0 2 0 1 2 1.2\n0 0 2 1 0 1 1.1\n");
    const auto script = write("s.tvs",
                              "# load one block and save its reference\nanswer file a.txt\n"
                              "action LoadG1B1\nprint FileBox1\nset ShowBox String \"2\"\n"
                              "answer file ref.txt\naction SaveRef1\ncall Tesvanesw nothing\n"
                              "session out.json\n");
    std::ostringstream out, err;
    // The fell-through action fails the script, which still runs to its end.
    EXPECT_EQ(run_script(script.string(), out, err, nullptr), 1) << err.str();
    EXPECT_EQ(out.str(), "File: a.txt \n   3 Specimens \n   3 Landmarks\n");
    EXPECT_NE(err.str().find("[message] Fell through case!  Dang"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "ref.txt"));
    const std::string json = read(dir / "out.json");
    EXPECT_NE(json.find("\"vlineformat1\": \"k-\""), std::string::npos);
    EXPECT_NE(json.find("\"data1\": [["), std::string::npos);
}

}  // namespace
}  // namespace tesvane::test
