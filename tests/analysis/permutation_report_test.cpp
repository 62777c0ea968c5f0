// The permutation tests as the user meets them: after the angle report of DoSVD2 when
// PermuteButton is ticked, on the published datasets, through `tesvane run --permute`, and the
// ways they add nothing.
#include <gtest/gtest.h>

#include <sstream>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/DoSVD2.hpp"
#include "analysis_fixture.hpp"
#include "app/run_command.hpp"
#include "platform/cformat.hpp"

namespace tesvane::test {
namespace {

class PermutationReportTest : public AnalysisTest {
  protected:
    ~PermutationReportTest() override { bootstrap_settings() = saved_; }

    std::string analysis_only() {
        const Session& v = ctx.vars;
        return angle_report(var("ubee2"), var("sbee2"), var("vbee2"), var("ubee2g"), var("sbee2g"),
                            var("vbee2g"), v.flag("homology2"));
    }
    void ask(const std::string& count) {
        ui.control("PermuteButton").set_value(1);
        ui.control("PermBox").set_string(count);
    }
    bool load_dataset(const std::string& set, const std::string& g1, const std::string& g2,
                      bool landmarks2) {
        ui.control("Morph2").set_value(landmarks2 ? 1 : 0);
        return load("LoadG1B1", data_file(set, g1 + "_b1.txt")) &&
               load("LoadG1B2", data_file(set, g1 + "_b2.txt")) &&
               load("LoadG2B1", data_file(set, g2 + "_b1.txt")) &&
               load("LoadG2B2", data_file(set, g2 + "_b2.txt"));
    }
    // The report's line that starts with `head`, or "".
    static std::string line(const std::string& report, const std::string& head) {
        for (const std::string& l : report_lines(report))
            if (l.rfind(head, 0) == 0)
                return l;
        return "";
    }

  private:
    BootstrapSettings saved_ = bootstrap_settings();
};

TEST_F(PermutationReportTest, UntickedOrUnusableCountLeavesTheAnalysisAsItWas) {
    set_groups(synthetic_group(7, 5, 18, 1u), synthetic_group(7, 5, 14, 2u));
    EXPECT_EQ(ui.control("PermuteButton").value(), 0);
    EXPECT_EQ(control("PermBox"), "999");
    ASSERT_TRUE(action("DoSVD2"));
    EXPECT_EQ(report(), analysis_only());
    EXPECT_TRUE(ui.messages().empty());

    for (const char* bad : {"", "abc", "0", "2.5", "3 4"}) {
        ask(bad);
        ASSERT_TRUE(action("DoSVD2")) << bad;
        EXPECT_EQ(report(), analysis_only()) << bad;
        EXPECT_NE(last_message().find("PermBox"), std::string::npos) << bad;
    }

    // An analysis that stops at its sample-size message is not followed by the tests.
    ask("19");
    const size_t messages = ui.messages().size();
    ctx.vars.set("data2g", Matrix(var("data2g").topRows(10)));
    action("DoSVD2");
    ASSERT_EQ(ui.messages().size(), messages + 1);
    EXPECT_EQ(last_message(), "The samples sizes do not match, shape and shape");
    EXPECT_EQ(report().find("Permutation"), std::string::npos);
}

class CancellingPlatform : public HeadlessPlatform {
  public:
    bool progress(double fraction, const std::string&) override { return fraction >= 1; }
};

TEST_F(PermutationReportTest, CancelReportsNothingBeyondTheAngles) {
    CancellingPlatform p;
    add_window_controls(p);
    AppContext c(p);
    register_functions(c);
    const Group a = synthetic_group(7, 5, 18, 1u), b = synthetic_group(7, 5, 14, 2u);
    c.vars.set("data1", a.b1);
    c.vars.set("data2", a.b2);
    c.vars.set("data1g", b.b1);
    c.vars.set("data2g", b.b2);
    c.vars.set("activem2", 1.0);
    p.control("PermuteButton").set_value(1);
    ASSERT_TRUE(run_action(c, "DoSVD2"));
    const std::string text = p.control("AuxResults").string();
    EXPECT_EQ(text.find("Permutation"), std::string::npos);
    EXPECT_EQ(text.rfind("Angles between SVD axis", 0), 0u);
    EXPECT_EQ(p.console_lines().back(), "Permutation tests cancelled; nothing reported");
}

TEST_F(PermutationReportTest, ReportOnThePublishedDatasetsFollowsTheAngles) {
    SKIP_WITHOUT(dataset("plethodon"));
    SKIP_WITHOUT(dataset("plethodon_vars"));
    for (const bool landmarks2 : {true, false}) {
        ctx.vars.clear("homology2");  // as in a fresh session: no block-2 angles for variables
        ASSERT_TRUE(
            load_dataset(landmarks2 ? "plethodon" : "plethodon_vars", "Jord", "Teyah", landmarks2));
        ui.control("PermuteButton").set_value(0);
        ASSERT_TRUE(action("DoSVD2"));
        const std::string angles = report();

        ask("99");
        bootstrap_settings() = {77, 1};
        ASSERT_TRUE(action("DoSVD2"));
        const std::string text = report();
        bootstrap_settings() = {77, 2};
        ASSERT_TRUE(action("DoSVD2"));
        EXPECT_EQ(report(), text) << "the threads changed the results";

        const std::string head = angles +
                                 "\n\nPermutation tests over 99 permutations per group "
                                 "(seed 77)\nRows of block 2 permuted against block 1";
        ASSERT_EQ(text.substr(0, head.size()), head);
        // The observed values are those of the analysis, with its divisor for variables.
        const Matrix& sval2 = var("sval2");
        const Matrix& scor2 = var("scor2");
        const Matrix& scor2g = var("scor2g");
        const std::vector<std::string> lines = report_lines(text);
        const auto g1 = std::find(lines.begin(), lines.end(), "Group 1 (20 specimens)");
        ASSERT_NE(g1, lines.end());
        for (Index i = 0; i < sval2.size(); ++i) {
            const std::string& l = *(g1 + 2 + i);
            std::istringstream in(l);
            int axis = 0;
            double sv = 0, p = 0, percent = 0;
            ASSERT_TRUE(in >> axis >> sv >> p >> percent) << l;
            EXPECT_EQ(axis, i + 1);
            EXPECT_EQ(cformat("%.6g", sv), cformat("%.6g", sval2(i))) << l;
            EXPECT_GE(p, 0.01);
            EXPECT_LE(p, 1.0);
            EXPECT_GT(percent, 0.0);
        }
        EXPECT_EQ(line(text, "r-PLS (axis 1) = " + cformat("%2.5f", scor2(0)) + "   p = ").size(),
                  38u);
        EXPECT_NE(text.find("r-PLS (axis 1) = " + cformat("%2.5f", scor2g(0))), std::string::npos);
        EXPECT_NE(line(text, "RV coefficient = "), "");
        EXPECT_NE(line(text, "Z1 = "), "");
        EXPECT_NE(line(text, "z12 = |Z1 - Z2| / sqrt(2) = "), "");
        // Block 1 of 7 landmarks (q = 10) or of 12 (q = 20); block 2 of 5 landmarks (q = 6) or
        // two variables.
        const std::string sv_head = landmarks2 ? "SV      Block 1 (q = 10)          Block2 (q = 6)"
                                               : "SV      Block 1 (q = 20)";
        const auto angles_head = std::find(lines.begin(), lines.end(), sv_head);
        ASSERT_NE(angles_head, lines.end());
        const std::string first = *(angles_head + 1);
        EXPECT_EQ(first.rfind("1      ", 0), 0u) << first;
        EXPECT_NE(first.find("  P = "), std::string::npos) << first;
        EXPECT_EQ(report_lines(text).back().rfind(std::to_string(sval2.size()) + "      ", 0), 0u);
    }
}

TEST_F(PermutationReportTest, RunPermuteAddsTheReportToTheAnalysisStep) {
    const Group a = synthetic_group(7, 5, 18, 1u), b = synthetic_group(7, 5, 14, 2u);
    auto file = [&](const char* name, const Matrix& m) {
        std::ostringstream s;
        s.precision(17);
        for (Index i = 0; i < m.rows(); ++i)
            for (Index j = 0; j < m.cols(); ++j)
                s << m(i, j) << (j + 1 < m.cols() ? " " : "\n");
        return write(name, s.str()).string();
    };
    RunOptions o;
    o.g1b1 = file("a1.txt", a.b1);
    o.g1b2 = file("a2.txt", a.b2);
    o.g2b1 = file("b1.txt", b.b1);
    o.g2b2 = file("b2.txt", b.b2);
    o.threads = 2;
    o.seed = 9;
    std::ostringstream plain, out, err;
    ASSERT_EQ(run_analysis(o, plain, err), 0) << err.str();
    o.permutations = 49;
    ASSERT_EQ(run_analysis(o, out, err), 0) << err.str();
    const std::string angles = plain.str().substr(0, plain.str().size() - 1);
    const std::string head =
        angles + "\n\nPermutation tests over 49 permutations per group (seed 9)";
    EXPECT_EQ(out.str().substr(0, head.size()), head);
    EXPECT_EQ(out.str().back(), '\n');
}

}  // namespace
}  // namespace tesvane::test
