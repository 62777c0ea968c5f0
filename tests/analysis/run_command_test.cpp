// `tesvane run`: the reports on standard output exactly as the results window shows them, the
// failures, the JSON file and relative paths.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis_fixture.hpp"
#include "platform/cformat.hpp"

namespace tesvane::test {
namespace {

const char kAngleHeader[] = "Angles between SVD axis of the two blocks ";

class RunTest : public AnalysisTest {
  protected:
    int run(const RunOptions& o) {
        out.str("");
        err.str("");
        return run_analysis(o, out, err);
    }
    // The reports of the same steps, as the results window shows them.
    std::vector<std::string> window_reports(const RunOptions& o) {
        analyse_in_window(o);
        std::vector<std::string> r{report()};
        if (o.boot) {
            ui.control("BootBox").set_string(std::to_string(*o.boot));
            ui.control("AlphaBox").set_string(o.alpha);
            EXPECT_TRUE(action("BootSVD2Angle"));
            r.push_back(report());
        }
        return r;
    }

    Group g1 = synthetic_group(7, 5, 18, 1u), g2 = synthetic_group(7, 5, 14, 2u);
    std::ostringstream out, err;
};

TEST_F(RunTest, PrintsExactlyTheWindowsReportsEachWithALineBreak) {
    RunOptions o = block_files(g1, g2);
    o.boot = 25;
    o.alpha = "0.1";
    o.seed = 12345;
    for (const bool homology : {true, false}) {
        o.homology = homology;
        o.permutations = homology ? std::optional(19) : std::nullopt;
        ASSERT_EQ(run(o), 0) << err.str();
        const std::vector<std::string> r = window_reports(o);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(out.str(), r[0] + "\n" + r[1] + "\n") << homology;
        EXPECT_EQ(r[0].find("Block2") == std::string::npos, !homology);
        EXPECT_EQ(r[0].find("Permutation tests over 19 permutations per group (seed 12345)") ==
                      std::string::npos,
                  !homology);
        EXPECT_NE(r[1].find("25 bootstraps at alpha = 0.10000"), std::string::npos);
    }
    // Diagnostics go to the error stream only when asked for, never among the reports.
    EXPECT_EQ(err.str().find("ubee2 (10 x 10):"), std::string::npos) << err.str();
    o.verbose = true;
    ASSERT_EQ(run(o), 0) << err.str();
    EXPECT_NE(err.str().find("ubee2 (10 x 10):"), std::string::npos);
}

TEST_F(RunTest, QuietSaysNothingButErrorsAndProgressIsOneUpdatingLine) {
    RunOptions o = block_files(g1, g2);
    o.boot = 1;  // one replicate gives no bound: a message box, then the failure
    o.show_progress = true;
    o.quiet = true;
    EXPECT_EQ(run(o), 1);
    EXPECT_EQ(err.str().find("[message]"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find('%'), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("tesvane: BootSVD2Angle failed: No bound of the angles"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(report_lines(out.str())[0], kAngleHeader);  // the analysis was reported

    o.boot = 40;
    ASSERT_EQ(run(o), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    o.quiet = false;
    ASSERT_EQ(run(o), 0) << err.str();
    // The progress line is rewritten in place: carriage returns, never a line per replicate.
    const std::string progress = err.str();
    EXPECT_NE(progress.find('%'), std::string::npos) << progress;
    EXPECT_EQ(std::count(progress.begin(), progress.end(), '\n'), 0) << progress;
}

TEST_F(RunTest, FailuresExitNonZeroWithTheMessage) {
    const RunOptions good = block_files(g1, g2);
    RunOptions short_g2 = good, bad = good;
    short_g2.g2b2 = block_file("b2short.txt", g2.b2.topRows(13));
    bad.g1b2 = write("bad.txt", "1 2 3\n4 x 6\n").string();
    const struct {
        const RunOptions& o;
        const char *message, *detail;
    } cases[] = {
        {short_g2, "DoSVD2 failed: The samples sizes do not match, shape and shape", ""},
        {bad, "LoadG1B2 failed: ", "bad.txt, line 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.o), 1) << c.message;
        EXPECT_NE(err.str().find(std::string("tesvane: ") + c.message), std::string::npos)
            << err.str();
        EXPECT_NE(err.str().find(c.detail), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "") << c.message;  // nothing reported
    }
}

// The picture is written at the size asked for, labelled with the names given; an axis beyond
// a group's rank is refused and the run fails.
TEST_F(RunTest, PicturesTakeTheSizeAndNamesAndRefuseNullAxes) {
    RunOptions o = block_files(g1, g2);
    o.show = 25;
    o.figure = (dir / "f.pdf").string();
    o.size = "85x60mm";
    o.names = "Jord,Teyah";
    fig::ExportSize size;
    fig::Axes labels;
    const FigureSaver keep = [&](const fig::Figure& f, const std::string& path) {
        EXPECT_EQ(path, o.figure);
        size = f.export_size;
        labels.xlabel = f.axes().xlabel;
        labels.legend = f.axes().legend;
    };
    ASSERT_EQ(run_analysis(o, out, err, keep), 0) << err.str();
    EXPECT_NEAR(size.width_pt, 85 / 25.4 * 72, 1e-9);
    EXPECT_NEAR(size.height_pt, 60 / 25.4 * 72, 1e-9);
    EXPECT_EQ(labels.xlabel, "Block 1 PLS 1 scores");
    ASSERT_EQ(labels.legend.size(), 2u);
    EXPECT_EQ(labels.legend[1].label.rfind("Teyah (r = ", 0), 0u);

    // On a template: drawn (the rotation message is no failure), with the outline warped.
    o.show = 3;
    o.templates = {block_file("template.txt", g1.b1.topRows(1))};
    o.clists = {write("clist.txt", "1 1\n2 2\n").string()};
    ASSERT_EQ(run_analysis(o, out, err, keep), 0) << err.str();
    ASSERT_FALSE(labels.legend.empty());
    EXPECT_EQ(labels.legend.back().label, "Template outline, warped");
    o.clists.push_back(o.clists[0]);
    o.clists.push_back(o.clists[0]);  // three lists for two groups
    EXPECT_EQ(run_analysis(o, out, err, keep), 1);

    o.names = "Jord";
    EXPECT_EQ(run_analysis(o, out, err, keep), 1);
    EXPECT_NE(err.str().find("give two names separated by a comma"), std::string::npos);

    // 5 specimens of 6 landmarks in group 1: its cross-products have rank 4.
    RunOptions null = block_files(synthetic_group(6, 6, 5, 31u), synthetic_group(6, 6, 6, 32u));
    null.show = 3;
    null.axis = "5";
    null.figure = (dir / "null.pdf").string();
    out.str("");
    err.str("");
    EXPECT_EQ(run_analysis(null, out, err, keep), 1);
    EXPECT_NE(err.str().find("tesvane: the picture failed: Axis 5 is not defined for a: the "
                             "analysis has 4 defined axes"),
              std::string::npos)
        << err.str();
}

TEST_F(RunTest, JsonHoldsTheSessionVariablesAtFullPrecisionAndPathsStartFromTheStart) {
    RunOptions o = block_files(g1, g2);
    o.json = (dir / "run.json").string();
    o.seed = 4242;
    // Relative paths are taken from the starting folder: each file dialog moves the current
    // folder to its file's folder, and the run must not care.
    std::filesystem::create_directories(dir / "sub");
    RunOptions rel = o;
    for (std::string* p : {&rel.g1b1, &rel.g1b2, &rel.g2b1, &rel.g2b2}) {
        const std::string name = std::filesystem::path(*p).filename().string();
        std::filesystem::copy_file(*p, dir / "sub" / name);
        *p = "sub/" + name;
    }
    rel.json = "run.json";
    ASSERT_EQ(run(rel), 0) << err.str();
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), dir));
    const nlohmann::json j = nlohmann::json::parse(read(o.json));
    EXPECT_EQ(j.size(), 33u);  // the session's variables, "results" and the seed
    EXPECT_EQ(j["seed"], 4242);
    EXPECT_TRUE(j["results"]["permutation_tests"].is_null());  // none asked
    ASSERT_EQ(j["sval2"].size(), 1u);                          // a 1 x n vector is one row
    EXPECT_EQ(j["sval2"][0].size(), 6u);

    // Every value read back is the double the analysis stored.
    analyse_in_window(o);
    const Matrix& u = var("ubee2g");
    for (Index a = 0; a < u.rows(); ++a)
        for (Index b = 0; b < u.cols(); ++b)
            ASSERT_EQ(j["ubee2g"][a][b].get<double>(), u(a, b));
}

TEST_F(RunTest, JsonResultsCarryTheComparisonAndEachPWithItsInterval) {
    RunOptions o = block_files(g1, g2);
    o.json = (dir / "perm.json").string();
    o.permutations = 49;
    o.seed = 31;
    ASSERT_EQ(run(o), 0) << err.str();
    const nlohmann::json r = nlohmann::json::parse(read(o.json))["results"];
    const nlohmann::json& t = r["permutation_tests"];
    EXPECT_EQ(t["permutations"], 49);
    EXPECT_EQ(t["interval"], "Clopper-Pearson 95%");
    for (const char* g : {"group1", "group2"}) {
        const nlohmann::json& axes = t[g]["axes"];
        ASSERT_EQ(axes.size(), 6u);
        for (const nlohmann::json& p : {axes[0]["p"], t[g]["r_pls"]["p"], t[g]["rv"]["p"]}) {
            EXPECT_LE(p["lower"].get<double>(), p["p"].get<double>());
            EXPECT_GE(p["upper"].get<double>(), p["p"].get<double>());
            // p = (1 + count) / 50
            EXPECT_NEAR(std::fmod(p["p"].get<double>() * 50, 1.0), 0.0, 1e-9);
        }
    }
    // The comparison as the report prints it.
    const nlohmann::json& c = r["integration_comparison"];
    const double z12 = c["z12"].get<double>();
    EXPECT_NEAR(z12,
                std::abs(c["group1"]["d"].get<double>() - c["group2"]["d"].get<double>()) /
                    std::hypot(c["group1"]["s"].get<double>(), c["group2"]["s"].get<double>()),
                1e-12);
    EXPECT_NE(out.str().find(cformat("z12 = |d1 - d2| / sqrt(s1^2 + s2^2) = %2.3f", z12)),
              std::string::npos);
    EXPECT_NE(out.str().find(cformat("Z1 = %2.3f (lambda = ", c["group1"]["Z"].get<double>())),
              std::string::npos);
}

// A write that must not happen (here over an input the run read; the other refusals are the
// writer's, tested with it) ends the run with status 1, names the path and changes nothing.
TEST_F(RunTest, OutputsThatMustNotBeWrittenAreRefused) {
    RunOptions o = block_files(g1, g2);
    const std::string input_text = read(o.g1b2);
    o.json = o.g1b2;
    EXPECT_EQ(run(o), 1);
    EXPECT_NE(err.str().find("tesvane: Cannot write " + o.json +
                             ": it is a data file read in this session"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(read(o.g1b2), input_text);
}

// A block given as a FIFO, as `--g1b1 <(...)` gives it, is read once and whole.
TEST_F(RunTest, BlocksFromPipesGiveTheSameReports) {
    const RunOptions good = block_files(g1, g2);
    ASSERT_EQ(run(good), 0) << err.str();
    const std::string expected = out.str();
    RunOptions piped = good;
    piped.g1b1 = (dir / "g1b1.fifo").string();
    ::mkfifo(piped.g1b1.c_str(), 0600);
    const std::string text = read(good.g1b1);
    std::thread writer([&] { std::ofstream(piped.g1b1, std::ios::binary) << text; });
    EXPECT_EQ(run(piped), 0) << err.str();
    writer.join();
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
}  // namespace tesvane::test
