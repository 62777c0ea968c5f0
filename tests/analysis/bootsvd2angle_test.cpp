// The bootstrap: its order statistics and report text against hand-computed values; the action's
// checks of the boxes, the report, the independence from the number of threads, null axes,
// cancelling, and the pairing of a specimen's two blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/DoSVD2.hpp"
#include "analysis/bootstrap.hpp"
#include "analysis/job_pool.hpp"
#include "analysis_fixture.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(BootstrapDraws, ResampleSizesFollowTheSmallerGroup) {
    for (const auto& [n1, n2, first, second] :
         {std::tuple{30, 20, 30, 20}, {20, 30, 20, 20}, {25, 25, 25, 25}}) {
        const ResampleSizes r = resample_sizes(n1, n2);
        EXPECT_EQ(r.first, first) << n1 << " " << n2;
        EXPECT_EQ(r.second, second) << n1 << " " << n2;
    }
}

TEST(BootIndices, RangepointAndNinetyFivePercentRows) {
    const struct {
        int nboots;
        double alpha, rangepoint;
        Index low, high;
        bool raised;
    } cases[] = {
        {1000, 0.05, 950, 25, 975, false}, {100, 0.01, 99, 2, 98, false},
        {99, 0.1, 90, 2, 97, false},       {40, 0.05, 38, 1, 39, false},
        {20, 0.05, 19, 1, 20, false},      {100, 0.001, 99, 2, 98, true},
    };
    for (const auto& c : cases) {
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

// Summaries of 20 replicates whose sorted columns and correlations are known, gathered for the
// bound row of 20 replicates at alpha 0.05.
BootstrapTables known_tables() {
    BootstrapTables t{ReplicateSummary(20, 18), ReplicateSummary(20, 18)};
    const int order[20] = {7, 19, 3, 12, 0, 15, 9, 1, 18, 5, 11, 14, 2, 16, 8, 13, 4, 17, 6, 10};
    for (int r = 0; r < 20; ++r) {
        const double v = order[r] + 1;  // a permutation of 1 ... 20
        t.set1.add({RowVector{{v, 2 * v}}, RowVector{{v / 4, 3}}, v / 100});
        // One replicate with a null second axis.
        t.set2.add({RowVector{{v + 0.5, r == 3 ? kNaN : 80}}, RowVector{{10, v / 8}}, 0.5});
    }
    return t;
}

// The k-th smallest of values given in any order, against a full sort; both sides of the middle.
TEST(OrderStatistic, MatchesTheSortedValue) {
    const std::vector<double> v = {5, -1, 3, 3, 9, 0.5, 7, 2, 8, 4, 6, 1};
    std::vector<double> sorted = v;
    std::sort(sorted.begin(), sorted.end());
    for (Index k = 0; k < static_cast<Index>(v.size()); ++k) {
        OrderStatistic s(static_cast<Index>(v.size()), k);
        for (double x : v)
            s.add(x);
        EXPECT_EQ(s.value(), sorted[static_cast<size_t>(k)]) << k;
    }
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
        "\n2      not defined       38.000      not defined";
    const std::string block2 =
        "\n\nBlock2"
        "\n1      1.000       4.750      10.000"
        "\n2      90.000       3.000      2.375";
    const std::string correlations =
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
    EXPECT_EQ(bootstrap_report(in, known_tables()), expected + block2 + correlations);
    in.homology2 = false;
    EXPECT_EQ(bootstrap_report(in, known_tables()), expected + correlations);
}

// Equal value for value, a not-a-number matching a not-a-number.
bool same_values(const Matrix& a, const Matrix& b) {
    return a.rows() == b.rows() && a.cols() == b.cols() &&
           (a.array() == b.array() || (a.array().isNaN() && b.array().isNaN())).all();
}

// The bounds of both blocks, axis by axis, as a 2 x axes table.
Matrix bounds(const ReplicateSummary& s) {
    Matrix b(2, s.axes());
    for (Index k = 0; k < s.axes(); ++k) {
        b(0, k) = s.bound(1, k);
        b(1, k) = s.bound(2, k);
    }
    return b;
}

class BootTest : public AnalysisTest {
  protected:
    void analyse(const Group& a, const Group& b) {
        set_groups(a, b);
        ASSERT_TRUE(action("DoSVD2"));
    }
    std::string boot(const std::string& n, const std::string& alpha = "0.05") {
        ui.control("BootBox").set_string(n);
        ui.control("AlphaBox").set_string(alpha);
        ui.control("AuxResults").set_string("before");
        // A refused box stops the action with a message; the report tells either way.
        action("BootSVD2Angle");
        return report();
    }

    Group g1 = synthetic_group(7, 5, 18, 1u), g2 = synthetic_group(7, 5, 14, 2u);
};

TEST_F(BootTest, ResultsDoNotDependOnTheNumberOfThreads) {
    analyse(g1, g2);
    BootstrapInput in{var("data1"), var("data2"), var("data1g"), var("data2g"), true, true, 12, 9};
    const auto a = run_bootstrap(in, {7, 1});
    ASSERT_TRUE(a);
    for (unsigned threads : {2u, 3u}) {
        const auto b = run_bootstrap(in, {7, threads});
        ASSERT_TRUE(b);
        EXPECT_TRUE(same_values(bounds(a->set1), bounds(b->set1))) << threads;
        EXPECT_TRUE(same_values(bounds(a->set2), bounds(b->set2))) << threads;
        EXPECT_TRUE(same_values(a->set1.correlations(), b->set1.correlations())) << threads;
        EXPECT_TRUE(same_values(a->set2.correlations(), b->set2.correlations())) << threads;
    }
    EXPECT_FALSE(
        same_values(a->set1.correlations(), run_bootstrap(in, {8, 1})->set1.correlations()));

    // With two threads the replicates are still announced in order.
    ctx.resampling.threads = 2;
    const size_t from = ui.console_lines().size();
    EXPECT_EQ(boot("5").rfind("The Angle ranges over 5 bootstraps at alpha = 0.20000 were\n", 0),
              0u);
    std::vector<std::string> sets;
    for (size_t i = from; i < ui.console_lines().size(); ++i)
        if (ui.console_lines()[i].rfind("set ", 0) == 0)
            sets.push_back(ui.console_lines()[i]);
    ASSERT_EQ(sets.size(), 10u);
    EXPECT_EQ(sets.front(), "set 1, replicate 1");
    EXPECT_EQ(sets[5], "set 2, replicate 1");
    EXPECT_EQ(sets.back(), "set 2, replicate 5");
    EXPECT_EQ(std::count(ui.console_lines().begin(), ui.console_lines().end(), "rangepoint = 4"),
              1);  // alpha raised to 0.2: ceil(5 x 0.8) = 4
    EXPECT_EQ(last_message(),
              "The lowest alpha level obtainable with this number of bootstraps is 0.20000 ");
    EXPECT_EQ(last_console(), "Active homology 2");
}

TEST_F(BootTest, UnusableBoxesShowAMessageNamingThemAndChangeNothing) {
    analyse(g1, g2);
    ctx.vars.set("homology2", 0.0);
    const struct {
        const char *n, *alpha, *message;
    } cases[] = {
        {"", "0.05", "The number of bootstraps (BootBox) is empty"},
        {"many", "0.05", "The number of bootstraps (BootBox) is not a number: \"many\""},
        {"2.5", "0.05",
         "The number of bootstraps (BootBox) must be a whole number of at least 1, not 2.5"},
        {"0", "0.05",
         "The number of bootstraps (BootBox) must be a whole number of at least 1, not 0"},
        {"10 20", "0.05", "The number of bootstraps (BootBox) must hold one number: \"10 20\""},
        {"100", " ", "The alpha level (AlphaBox) is empty"},
        {"100", "5%", "The alpha level (AlphaBox) is not a number: \"5%\""},
        {"100", "1",
         "No bound of the angles at alpha = 1.00000 with 100 bootstraps: the bound's row "
         "ceil(100 x (1 - alpha)) = 0 is below 1. Use more bootstraps or an alpha below 1."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(boot(c.n, c.alpha), "before") << c.n << " / " << c.alpha;
        EXPECT_EQ(last_message(), c.message);
    }
    // One bootstrap raises alpha to 1, and then no bound is left.
    const size_t before = ui.messages().size();
    EXPECT_EQ(boot("1"), "before");
    ASSERT_EQ(ui.messages().size(), before + 2);
    EXPECT_EQ(ui.messages()[before],
              "The lowest alpha level obtainable with this number of bootstraps is 1.00000 ");
    EXPECT_EQ(ctx.vars.scalar("homology2"), 0);

    // Before an analysis the action fails naming the missing result.
    ctx.vars.clear("sbee2");
    ui.control("AuxResults").set_string("");
    ui.control("BootBox").set_string("10");
    EXPECT_FALSE(action("BootSVD2Angle"));
    EXPECT_NE(last_console().find("sbee2"), std::string::npos);
    EXPECT_EQ(report(), "");
}

TEST_F(BootTest, OneVariableBlockGivesZeroBlock2Angles) {
    // A single variable: every block-2 axis is +-1, so every block-2 angle is 0.
    put_blocks(ctx, g1.b1, variables_of(g1.b1, 1, 1u), g2.b1, variables_of(g2.b1, 1, 2u), false);
    ctx.vars.set("homology2", 1.0);
    ASSERT_TRUE(action("DoSVD2"));
    const std::string r = boot("20");
    EXPECT_NE(r.find("\n\nBlock2\n1      0.000       0.000      0.000\n\n"), std::string::npos)
        << r;
}

TEST_F(BootTest, NullAxesOfTheAnalysisAndOfReplicatesReadNotDefined) {
    // 8 and 7 specimens of 6 landmarks: 8 shape variables a block, ranks at most 7 and 6.
    analyse(synthetic_group(6, 6, 8, 41u), synthetic_group(6, 6, 7, 42u));
    const std::vector<std::string> lines = report_lines(boot("20"));
    EXPECT_EQ(lines[4].find("not defined"), std::string::npos);  // axis 1 is always there
    EXPECT_EQ(lines[11], "8      not defined       not defined      not defined");
    EXPECT_EQ(lines[10], "7      not defined       not defined      not defined");
}

// A program whose user cancels at the first progress report, holding two groups.
struct CancellingProgram {
    struct Ui : HeadlessPlatform {
        bool progress(double fraction, const std::string&) override {
            fractions.push_back(fraction);
            return fraction >= 1;
        }
        std::vector<double> fractions;
    } ui;
    AppContext ctx{ui};
    CancellingProgram(const Group& g1, const Group& g2) {
        add_window_controls(ui);
        register_functions(ctx);
        ui.open_results_window();
        put_blocks(ctx, g1.b1, g1.b2, g2.b1, g2.b2, true);
    }
};

TEST(Cancel, PermutationsAndBootstrapEndWithNothingReported) {
    CancellingProgram p(synthetic_group(7, 5, 18, 1u), synthetic_group(7, 5, 14, 2u));
    p.ui.control("PermuteButton").set_value(1);
    ASSERT_TRUE(run_action(p.ctx, "DoSVD2"));
    const std::string angles = p.ui.control("AuxResults").string();
    EXPECT_EQ(angles.find("Permutation"), std::string::npos);
    EXPECT_EQ(angles.rfind("Angles between SVD axis", 0), 0u);
    EXPECT_EQ(p.ui.console_lines().back(), "Permutation tests cancelled; nothing reported");

    p.ui.fractions.clear();
    p.ui.control("BootBox").set_string("200");
    EXPECT_TRUE(run_action(p.ctx, "BootSVD2Angle"));
    EXPECT_EQ(p.ui.control("AuxResults").string(), angles);
    ASSERT_GE(p.ui.fractions.size(), 2u);
    EXPECT_LT(p.ui.fractions.front(), 1.0);
    EXPECT_EQ(p.ui.fractions.back(), 1.0);  // the progress dialog is closed
    EXPECT_EQ(p.ui.console_lines().back(), "BootSVD2Angle cancelled; nothing reported");
}

TEST(BootstrapRun, ResamplesKeepASpecimensTwoBlocksTogether) {
    // Block 2 is one variable that depends on block 1's shape only (a landmark distance over
    // the centroid size): with the same rows drawn for both blocks the first-axis correlation
    // stays high in every replicate; drawn apart it would fall to chance level (about 0.4).
    const Group g = synthetic_group(7, 5, 60, 5u);
    Matrix v(g.b1.rows(), 1);
    for (Index i = 0; i < v.rows(); ++i)
        v(i, 0) = std::hypot(g.b1(i, 0) - g.b1(i, 4), g.b1(i, 1) - g.b1(i, 5)) / g.b1(i, 14);
    const auto t = run_bootstrap({g.b1, v, g.b1, v, false, false, 20}, {});
    ASSERT_TRUE(t);
    EXPECT_GT(t->set1.correlations().minCoeff(), 0.75);
    EXPECT_GT(t->set2.correlations().minCoeff(), 0.75);
}

// Far more jobs than the pool's window: announced once each and in order, the results slot of a
// job free again when it is announced, and the first failure in job order reported after the
// jobs before it.
TEST(JobPool, ManyJobsAreAnnouncedInOrderThroughTheWindow) {
    const int total = static_cast<int>(5 * kPoolWindow + 7);
    for (const unsigned threads : {1u, 3u}) {
        for (const int failing : {-1, 3000, 3001}) {
            std::vector<int> ring(kPoolWindow, -1);
            std::vector<int> announced;
            auto job = [&](int j) {
                if (j >= failing && failing >= 0 && j % 2 == failing % 2)
                    throw Error("job " + std::to_string(j));
                int& slot = ring[static_cast<size_t>(j) % kPoolWindow];
                EXPECT_EQ(slot, -1) << j;  // the job before in this slot was announced
                slot = j;
            };
            auto done = [&](int j) {
                int& slot = ring[static_cast<size_t>(j) % kPoolWindow];
                EXPECT_EQ(slot, j);
                slot = -1;
                announced.push_back(j);
            };
            std::string error;
            try {
                EXPECT_TRUE(run_pool(total, threads, job, done, {}));
            } catch (const Error& e) {
                error = e.what();
            }
            const int expected = failing < 0 ? total : failing;
            EXPECT_EQ(error, failing < 0 ? "" : "job " + std::to_string(failing));
            ASSERT_EQ(static_cast<int>(announced.size()), expected) << threads;
            for (int j = 0; j < expected; ++j)
                ASSERT_EQ(announced[static_cast<size_t>(j)], j);
        }
    }
}

TEST(BootstrapRun, AFailingReplicateIsNamedWhateverTheThreads) {
    // Block 2 of group 1 with all landmarks on one line: no spline, so every replicate fails;
    // the first in replicate order is named.
    const Group g = synthetic_group(6, 5, 10, 3u);
    Matrix flat = g.b2;
    for (Index j = 0; j < 5; ++j)
        flat.col(2 * j + 1).setZero();
    for (unsigned threads : {1u, 2u}) {
        const std::string what = test::error_of([&] {
            run_bootstrap({g.b1, flat, g.b1, g.b2, true, false, 8}, {1, threads});
        });
        EXPECT_EQ(what.rfind("Bootstrap set 1, replicate 1: ", 0), 0u) << what;
    }
}

}  // namespace
}  // namespace tesvane::test
