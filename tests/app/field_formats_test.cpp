// Blocks loaded from TPS, NTS and CSV files: the same analysis as from plain files, specimen IDs
// kept beside the blocks and checked by DoSVD2, and the writers called from scripts.
#include <gtest/gtest.h>

#include "app_fixture.hpp"
#include "io/dload.hpp"
#include "io/landmark_file_common.hpp"

namespace tesvane::test {
namespace {

using FieldFormatTest = AppTest;

std::vector<std::string> numbered(const std::string& prefix, int n) {
    std::vector<std::string> ids;
    for (int i = 1; i <= n; ++i)
        ids.push_back(prefix + std::to_string(i));
    return ids;
}

// Four specimens of four landmarks, no two of the same shape.
const char* const kTps =
    "LM=4\n0 0\n1 0\n1 1\n0 1\nID=A\nLM=4\n0 0\n1.2 0\n1 1\n0 1\nID=B\n"
    "LM=4\n0 0\n1 0.1\n1 1.1\n0 1\nID=C\nLM=4\n0.1 0\n1 0\n1 1\n0 0.9\nID=D\n";

TEST_F(FieldFormatTest, PlethodonAsTpsAndCsvAnalysesAsThePlainFiles) {
    const auto folder = dataset("plethodon");
    SKIP_WITHOUT(folder);
    const char* files[] = {"Jord_b1.txt", "Jord_b2.txt", "Teyah_b1.txt", "Teyah_b2.txt"};
    const char* actions[] = {"LoadG1B1", "LoadG1B2", "LoadG2B1", "LoadG2B2"};
    auto load_all = [&](auto path_of) {
        for (int b = 0; b < 4; ++b)
            ASSERT_TRUE(load(actions[b], path_of(b))) << files[b];
    };
    load_all([&](int b) { return folder / files[b]; });
    const Matrix plain_data1 = ctx.vars.require("data1");
    ASSERT_TRUE(run_action(ctx, "DoSVD2"));
    const std::string plain_report = control("AuxResults");

    // Block 1 as TPS and block 2 as CSV, through the registered writers, with IDs.
    const std::vector<std::string> jord = numbered("J", 20), teyah = numbered("T", 20);
    for (int b = 0; b < 4; ++b) {
        const std::string out =
            (dir / (std::string(files[b]) + (b % 2 ? ".csv" : ".tps"))).string();
        ctx.functions.call(
            ctx, b % 2 ? "writecsv" : "writetps",
            {out, dload((folder / files[b]).string()), join_ids(b < 2 ? jord : teyah)});
    }
    ctx.vars.clear("data1");
    load_all([&](int b) { return dir / (std::string(files[b]) + (b % 2 ? ".csv" : ".tps")); });
    EXPECT_EQ(control("FileBox1"), "File: Jord_b1.txt.tps \n  20 Specimens \n   7 Landmarks");
    EXPECT_EQ(ctx.vars.text("ids1"), join_ids(jord));
    EXPECT_EQ(ctx.vars.text("ids2g"), join_ids(teyah));
    const Matrix& data1 = ctx.vars.require("data1");
    EXPECT_LT((data1.leftCols(14) - plain_data1.leftCols(14)).cwiseAbs().maxCoeff(), 1e-12);
    // The files give cs to about ten digits; the readers compute it from the coordinates.
    EXPECT_LT((data1.col(14) - plain_data1.col(14)).cwiseAbs().maxCoeff(), 1e-7);
    ASSERT_TRUE(run_action(ctx, "DoSVD2"));
    EXPECT_EQ(control("AuxResults"), plain_report);
}

TEST_F(FieldFormatTest, IdsThatDisagreeStopTheAnalysisBeforeItChangesAnything) {
    ASSERT_TRUE(load("LoadG1B1", write("b1.tps", kTps)));
    ui.control("Morph2").set_value(0);
    ASSERT_TRUE(load("LoadG1B2", write("b2.csv", "id,logcs\nA,1\nC,2\nB,3\nD,4\n")));
    EXPECT_EQ(ctx.vars.text("ids2"), "A\nC\nB\nD");
    ASSERT_TRUE(
        load("LoadG2B1",
             write("g2b1.nts", "1 4L 8 0 DIM=2\nA B C D\n" +
                                   std::string("0 0 1 0 1 1 0 1\n0 0 1.2 0 1 1 0 1\n"
                                               "0 0 1 0.1 1 1.1 0 1\n0.1 0 1 0 1 1 0 0.9\n"))));
    ASSERT_TRUE(load("LoadG2B2", write("g2b2.txt", "1\n2\n3\n4\n")));
    ctx.vars.set("homology2", 1.0);

    ASSERT_TRUE(run_action(ctx, "DoSVD2"));
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

}  // namespace
}  // namespace tesvane::test
