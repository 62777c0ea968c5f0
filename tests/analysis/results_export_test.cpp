// Results to cite: digests of the inputs, the scores table, the report page and the structured
// results, checked against values derived independently (known digests, hand-written tables,
// the window's own report texts).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "analysis_fixture.hpp"
#include "app/command_line.hpp"
#include "app/report_export.hpp"
#include "app/report_html.hpp"
#include "app/results_summary.hpp"
#include "app/scores_csv.hpp"
#include "io/sha256.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/stats.hpp"

namespace tesvane::test {
namespace {

TEST(ScoresCsv, QuotedTextsNullAxesAndShorterGroups) {
    SpecimenScores a{"Jo\"rd",
                     {"a,1", "b"},
                     Matrix{{1.5, 2}, {-1.5, -2}},
                     Matrix{{0.25, 9}, {-0.25, -9}},
                     {false, true}};
    SpecimenScores b{"Teyah", {"x"}, Matrix{{1e-12}}, Matrix{{-3}}, {false}};
    EXPECT_EQ(scores_csv({a, b}),
              "\"group\",\"specimen\",\"block1_axis1\",\"block1_axis2\",\"block2_axis1\","
              "\"block2_axis2\"\n"
              "\"Jo\"\"rd\",\"a,1\",1.5,NA,0.25,NA\n"
              "\"Jo\"\"rd\",\"b\",-1.5,NA,-0.25,NA\n"
              "\"Teyah\",\"x\",1e-12,NA,-3,NA\n");
}

TEST(ReportHtml, InlineSvgPrefixesIdsAndDropsTheRootsSize) {
    const std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<!-- made here -->\n"
        "<svg width=\"200mm\" height=\"100mm\" viewBox=\"0 0 10 5\" "
        "xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "version=\"1.2\" baseProfile=\"tiny\">\n<defs><clipPath id=\"clip1\"><rect "
        "width=\"3\" height=\"4\"/></clipPath></defs><g clip-path=\"url(#clip1)\"><use "
        "xlink:href=\"#g1\"/></g></svg>\n";
    EXPECT_EQ(inline_svg(doc, "f2-"),
              "<svg viewBox=\"0 0 10 5\" role=\"img\">\n<defs><clipPath id=\"f2-clip1\"><rect "
              "width=\"3\" height=\"4\"/></clipPath></defs><g clip-path=\"url(#f2-clip1)\"><use "
              "xlink:href=\"#f2-g1\"/></g></svg>");
    EXPECT_EQ(inline_svg("<html></html>", "f1-"), "");
    EXPECT_EQ(html_escape("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
}

TEST(CommandLineRecord, WordsReadBackByAShell) {
    const char* argv[] = {"tesvane", "run", "--g1b1", "/a b/c.txt", "it's", "--alpha=0.05"};
    EXPECT_EQ(shell_words(6, argv), "tesvane run --g1b1 '/a b/c.txt' 'it'\\''s' --alpha=0.05");
}

// A whole run with every output, compared with the results window's reports of the same steps.
class ResultsExportTest : public AnalysisTest {
  protected:
    RunOptions options() {
        RunOptions o = block_files(g1, g2, "Jord", "Teyah");
        o.boot = 20;
        o.permutations = 19;
        o.seed = 77;
        o.threads = 1;
        o.report = (dir / "r.html").string();
        o.scores = (dir / "s.csv").string();
        o.json = (dir / "j.json").string();
        o.command_line = "tesvane run --boot 20";
        return o;
    }
    Group g1 = synthetic_group(7, 5, 18, 3u), g2 = synthetic_group(7, 5, 14, 4u);
};

std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::stringstream cs(line);
        for (std::string c; std::getline(cs, c, ',');)
            cells.push_back(c);
        rows.push_back(cells);
    }
    return rows;
}

TEST_F(ResultsExportTest, RunWritesReportScoresAndResultsThatAgreeWithTheWindow) {
    const RunOptions o = options();
    std::ostringstream out, err;
    ASSERT_EQ(run_analysis(o, out, err), 0) << err.str();
    const std::string reports = out.str();

    // The JSON's numbers against the reports printed to standard output.
    const nlohmann::json j = nlohmann::json::parse(read(o.json));
    const nlohmann::json& r = j.at("results");
    for (int i = 0; i < 4; ++i) {
        const std::string& file = i == 0 ? o.g1b1 : i == 1 ? o.g1b2 : i == 2 ? o.g2b1 : o.g2b2;
        EXPECT_EQ(r["provenance"]["inputs"][i]["sha256"], sha256_hex(read(file)));
        EXPECT_EQ(r["provenance"]["inputs"][i]["size"], read(file).size());
    }
    EXPECT_EQ(r["provenance"]["origin"], "Command line: tesvane run --boot 20");
    EXPECT_EQ(r["settings"]["seed"], 77);
    EXPECT_EQ(r["settings"]["bootstrap_replicates"], 20);
    EXPECT_EQ(r["groups"][0]["name"], "Jord");
    for (int g = 0; g < 2; ++g) {
        const nlohmann::json& grp = r["groups"][g];
        const double n = grp["specimens"];
        EXPECT_EQ(n, g == 0 ? 18 : 14);
        double total = 0;
        for (size_t k = 0; k < grp["singular_values"].size(); ++k) {
            EXPECT_NEAR(grp["singular_values_n_minus_1"][k].get<double>(),
                        grp["singular_values"][k].get<double>() / (n - 1), 1e-12);
            total += grp["percent_squared_covariance"][k].get<double>();
        }
        EXPECT_NEAR(total, 100, 1e-9);
        // RV computed here from the blocks, in the report from the permutation code.
        EXPECT_NE(reports.find(cformat("RV coefficient = %2.5f", grp["rv"].get<double>())),
                  std::string::npos);
        EXPECT_NE(reports.find(cformat("r-PLS (axis 1) = %2.5f", grp["r_pls"].get<double>())),
                  std::string::npos);
    }
    const nlohmann::json& a1 = r["angles"]["block1"];
    const nlohmann::json& b1 = r["bootstrap"]["angle_bounds"]["block1"];
    for (size_t k = 0; k < a1.size(); ++k) {
        const double angle = a1[k]["degrees"];
        EXPECT_NE(reports.find(cformat("\nSVD %zu Block 1= %2.3f", k + 1, angle)),
                  std::string::npos);
        // A bound that a replicate left undefined is null here and "not defined" there.
        auto bound = [](const nlohmann::json& v) {
            return v.is_null() ? std::string("not defined") : cformat("%2.3f", v.get<double>());
        };
        EXPECT_NE(
            reports.find(cformat("\n%zu      %2.3f       %s      %s", k + 1, angle,
                                 bound(b1[k]["group1"]).c_str(), bound(b1[k]["group2"]).c_str())),
            std::string::npos)
            << k;
    }
    const nlohmann::json& c = r["bootstrap"]["axis1_correlations"][0];
    EXPECT_NE(reports.find(cformat("With a 95 percent range of %2.5f to %2.5f\nWith a Standard "
                                   "Error of %2.5f",
                                   c["low"].get<double>(), c["high"].get<double>(),
                                   c["standard_error"].get<double>())),
              std::string::npos);

    // Scores: a header and one row per specimen; the axis-1 columns correlate as reported.
    const auto rows = csv_rows(read(o.scores));
    ASSERT_EQ(rows.size(), 1u + 18 + 14);
    const size_t axes = a1.size();
    EXPECT_EQ(rows[0].size(), 2 + 2 * axes);
    EXPECT_EQ(rows[1][0], "\"Jord\"");
    EXPECT_EQ(rows[1][1], "\"1\"");
    EXPECT_EQ(rows.back()[0], "\"Teyah\"");
    for (int g = 0; g < 2; ++g) {
        ColVector s1(g == 0 ? 18 : 14), s2(s1.size());
        for (Index i = 0; i < s1.size(); ++i) {
            const auto& row = rows[static_cast<size_t>(1 + i + (g == 0 ? 0 : 18))];
            s1(i) = std::stod(row[2]);
            s2(i) = std::stod(row[2 + axes]);
        }
        EXPECT_NEAR(corrcoef(s1, s2)(0, 1), r["groups"][g]["r_pls"].get<double>(), 1e-8);
        EXPECT_NEAR(s1.mean(), 0, 1e-8);
    }

    // The report: digests, the tables in words, nothing from elsewhere.
    const std::string html = read(o.report);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(html.find(r["provenance"]["inputs"][i]["sha256"].get<std::string>()),
                  std::string::npos);
    EXPECT_NE(html.find("Angle between Jord&#39;s and Teyah&#39;s PLS axis s, block 1 (degrees)"),
              std::string::npos);
    EXPECT_NE(html.find("19 of Jord&#39;s 20 resampled angles on axis 1 (95 %) were at or below"),
              std::string::npos);
    EXPECT_NE(html.find("Command line: tesvane run --boot 20"), std::string::npos);
    for (const char* outside : {"http:", "https:", "<script", "src=", "@import", "<link"})
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
}

TEST_F(ResultsExportTest, NullAxesAreMarkedEverywhere) {
    // Six specimens: the cross-covariance has rank 5 at most, so axis 6 has no direction.
    g1 = synthetic_group(7, 5, 6, 5u);
    g2 = synthetic_group(7, 5, 6, 6u);
    RunOptions o = options();
    o.boot.reset();
    o.permutations.reset();
    std::ostringstream out, err;
    ASSERT_EQ(run_analysis(o, out, err), 0) << err.str();
    const nlohmann::json r = nlohmann::json::parse(read(o.json))["results"];
    const nlohmann::json& axis6 = r["angles"]["block1"][5];
    EXPECT_TRUE(axis6["null_axis"].get<bool>());
    EXPECT_TRUE(axis6["degrees"].is_null());
    EXPECT_FALSE(r["angles"]["block1"][0]["null_axis"].get<bool>());
    EXPECT_TRUE(r["groups"][0]["null_axes"][5].get<bool>());
    EXPECT_TRUE(r["bootstrap"].is_null());
    EXPECT_TRUE(r["permutation_tests"].is_null());
    EXPECT_TRUE(r["integration_comparison"].is_null());
    const auto rows = csv_rows(read(o.scores));
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[0][7], "\"block1_axis6\"");
    EXPECT_EQ(rows[1][7], "NA");
    EXPECT_NE(rows[1][6], "NA");
    const std::string html = read(o.report);
    EXPECT_NE(html.find("not defined (null axis)"), std::string::npos);
    EXPECT_EQ(html.find("id=\"bootstrap\""), std::string::npos);  // no section without data

    // A resample of six with replacement nearly always repeats one: its axis 5 has no
    // direction and the bound is missing where the angle is not. The report says why.
    ASSERT_FALSE(r["angles"]["block1"][4]["degrees"].is_null());
    o.boot = 20;
    o.report = (dir / "boot.html").string();  // new files: nothing written is replaced
    o.scores = o.json = "";
    ASSERT_EQ(run_analysis(o, out, err), 0) << err.str();
    EXPECT_NE(read(o.report).find("draws specimens with replacement, so it holds fewer distinct "
                                  "specimens"),
              std::string::npos);
}

TEST_F(ResultsExportTest, GroupNamesAreTextInEverySectionOfTheReport) {
    // Typed names, or names from a script someone sent: never markup in the report.
    RunOptions o = options();
    o.names = "<b>J&co</b>,<script>x()</script>";
    o.scores = o.json = "";
    std::ostringstream out, err;
    ASSERT_EQ(run_analysis(o, out, err), 0) << err.str();
    const std::string html = read(o.report);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;J&amp;co&lt;/b&gt;, n = 18"), std::string::npos);  // methods
}

TEST_F(ResultsExportTest, FiguresAreDrawnWrittenAndTheControlsPutBack) {
    analyse_in_window(options());
    std::vector<std::string> written;
    std::vector<bool> captioned;  // the report's caption says it: the picture's own is left out
    ui.on_save_figure_file(
        [&](const fig::Figure& fig, const std::string& path, const std::string& f) {
            written.push_back(f);
            captioned.push_back(fig.show_caption && !fig.axes().caption.empty());
            std::ofstream(path) << "<?xml version=\"1.0\"?>\n<svg width=\"1\" viewBox=\"0 0 1 1\">"
                                   "<clipPath id=\"c\"/></svg>";
        });
    ui.control("ReqAxisBox").set_value(9);
    ui.control("ShowBox").set_string("2");
    const std::vector<ReportFigure> figures = report_figures(ctx);
    ASSERT_EQ(figures.size(), 5u);
    EXPECT_EQ(written, std::vector<std::string>(5, "svg"));
    EXPECT_EQ(captioned, std::vector<bool>(5, false));
    EXPECT_TRUE(ui.figure().show_caption);  // the windows' setting is put back
    EXPECT_EQ(figures[0].svg,
              "<svg viewBox=\"0 0 1 1\" role=\"img\"><clipPath id=\"f1-c\"/></svg>");
    EXPECT_EQ(figures[4].svg,
              "<svg viewBox=\"0 0 1 1\" role=\"img\"><clipPath id=\"f5-c\"/></svg>");
    EXPECT_NE(figures[1].caption.find("PLS axis 1, block 1, Jord"), std::string::npos);
    EXPECT_EQ(ui.control("ReqAxisBox").value(), 9);
    EXPECT_EQ(control("ShowBox"), "2");

    // A platform that cannot write figures gives a report without them, and says so.
    ui.on_save_figure_file({});
    EXPECT_TRUE(report_figures(ctx).empty());
    EXPECT_NE(last_console().find("The report leaves out plot type 6"), std::string::npos);
}

TEST_F(ResultsExportTest, NothingIsAskedNorWrittenBeforeAnAnalysis) {
    ui.queue(DialogAnswer::file((dir / "x").string()));
    for (const char* a : {"SaveScores", "ExportReport"}) {
        EXPECT_FALSE(action(a));  // refused with a message
        EXPECT_NE(last_message().find("run the analysis first"), std::string::npos) << a;
    }
    EXPECT_EQ(ui.queued(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

TEST_F(ResultsExportTest, ResamplingResultsDoNotOutliveTheirAnalysis) {
    analyse_in_window(options());
    ui.control("BootBox").set_string("5");
    ASSERT_TRUE(action("BootSVD2Angle"));
    EXPECT_TRUE(summarise_results(ctx, analysis_record(ctx)).bootstrap.has_value());
    ui.control("PermuteButton").set_value(0);
    ASSERT_TRUE(action("DoSVD2"));
    EXPECT_FALSE(summarise_results(ctx, analysis_record(ctx)).bootstrap.has_value());
    EXPECT_FALSE(summarise_results(ctx, analysis_record(ctx)).permutations.has_value());
}

}  // namespace
}  // namespace tesvane::test
