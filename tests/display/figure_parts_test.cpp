// The parts of a picture beyond the axis itself: the groups' names, the template's outline,
// the bootstrap's picture and the magnitude of a drawn deformation.

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/two_block_pls.hpp"
#include "app/app_fixture.hpp"
#include "app/run_command.hpp"
#include "display/showbootangles.hpp"
#include "display/template_outline.hpp"
#include "display_test_util.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/group_names.hpp"
#include "platform/headless/headless_platform.hpp"

namespace tesvane::test {
namespace {

TEST(GroupNames, FromTheFileNameWithoutFolderExtensionAndBlockMark) {
    const std::pair<const char*, const char*> cases[] = {
        {"Jord_b1.txt", "Jord"},
        {"/data/plethodon/Teyah_b2.txt", "Teyah"},
        {"early-B1.csv", "early"},
        {"site 3 block1.tps", "site 3"},
        {"a1.txt", "a1"},
        {"b1.txt", "b1"},  // nothing but the mark: kept
        {"groupA.nts", "groupA"},
        {"x_b12.txt", "x_b12"},
        {"", ""},
    };
    for (const auto& [file, name] : cases)
        EXPECT_EQ(name_from_file(file), name) << file;
}

TEST(GroupNames, TypedThenFromTheFilesThenNumbered) {
    const struct {
        const char *typed1, *file1, *file2, *name1, *name2;
    } cases[] = {
        {"", "Jord_b1.txt", "Teyah_b1.txt", "Jord", "Teyah"},
        {"Desmognathus", "Jord_b1.txt", "Teyah_b1.txt", "Desmognathus", "Teyah"},
        {"", "same_b1.txt", "same_b1.txt", "Group 1", "Group 2"},  // nothing would tell them apart
        {"", "", "", "Group 1", "Group 2"},
    };
    for (const auto& c : cases) {
        HeadlessPlatform ui(nullptr);
        AppContext ctx(ui);
        ui.add_control("GroupName1", c.typed1, 0);
        ui.add_control("GroupName2", "", 0);
        if (*c.file1)
            ctx.vars.set(kBlockFileVariables[0][0], std::string(c.file1));
        if (*c.file2)
            ctx.vars.set(kBlockFileVariables[1][0], std::string(c.file2));
        EXPECT_EQ(group_name(ctx, 1), c.name1) << c.file1;
        EXPECT_EQ(group_name(ctx, 2), c.name2) << c.file2;
    }
}

TEST(RunValues, GroupNamesAndMagnitudesAreCheckedWhole) {
    using Names = std::pair<std::string, std::string>;
    EXPECT_EQ(split_group_names("Jord,Teyah"), Names("Jord", "Teyah"));
    for (const char* bad : {"Jord", "Jord,", ",Teyah", "a,b,c", " ,b"})
        EXPECT_THROW(split_group_names(bad), Error) << bad;
    const std::tuple<const char*, int, const char*> good[] = {
        {"factor:2.5", 1, "2.5"}, {"sd:2", 2, "2"}, {"range", 3, "1"}, {"sd:-1", 2, "-1"}};
    for (const auto& [text, scale, factor] : good)
        EXPECT_EQ(parse_magnitude(text), (std::pair<int, std::string>(scale, factor))) << text;
    for (const char* bad : {"sd", "sd:", "sd:x", "factor:1e999", "max", "range:2", "sd:2 "})
        EXPECT_THROW(parse_magnitude(bad), Error) << bad;
}

// An affine deformation is carried by the spline exactly, so the warped outline is the affine
// image of the outline's points, however many they are.
TEST(TemplateOutline, WarpedByTheSplineOfTheLandmarks) {
    const Matrix reference = box_reference();
    const Index k = (reference.cols() - 1) / 2;
    Matrix target = reference;
    auto affine = [](double x, double y) {
        return std::array<double, 2>{1.2 * x + 0.3 * y + 0.5, -0.1 * x + 0.9 * y - 0.2};
    };
    for (Index i = 0; i < k; ++i) {
        const auto p = affine(reference(2 * i), reference(2 * i + 1));
        target(2 * i) = p[0], target(2 * i + 1) = p[1];
    }
    Matrix outline(1, 2 * 9 + 1);
    for (Index i = 0; i < 9; ++i) {
        outline(2 * i) = -1 + 0.25 * static_cast<double>(i);
        outline(2 * i + 1) = 0.5 * std::sin(static_cast<double>(i));
    }
    outline(18) = 7;
    const Matrix warped = warp_outline(reference, target, outline);
    ASSERT_EQ(warped.cols(), outline.cols());
    for (Index i = 0; i < 9; ++i) {
        const auto p = affine(outline(2 * i), outline(2 * i + 1));
        EXPECT_NEAR(warped(2 * i), p[0], 1e-9) << i;
        EXPECT_NEAR(warped(2 * i + 1), p[1], 1e-9) << i;
    }
    EXPECT_EQ(warped(18), 7);
    // Landmarks of the reference used as outline points land on the target's.
    const Matrix on_landmarks = warp_outline(reference, target, reference);
    for (Index i = 0; i < 2 * k; ++i)
        EXPECT_NEAR(on_landmarks(i), target(i), 1e-9);
}

TEST(BootstrapPicture, TheBoundIsTheRangepointthSmallestAngle) {
    // ceil(10 * 0.95) = 10th, ceil(10 * 0.8) = 8th, ceil(4 * 0.5) = 2nd of the sorted angles.
    const std::vector<double> ten{9, 3, 7, 1, 5, 10, 2, 8, 4, 6};
    EXPECT_EQ(angle_bound(ten, 0.05), 10);
    EXPECT_EQ(angle_bound(ten, 0.2), 8);
    EXPECT_EQ(angle_bound({4, 1, 3, 2}, 0.5), 2);
    EXPECT_TRUE(std::isnan(angle_bound({1, NAN, 3}, 0.05)));
    EXPECT_TRUE(std::isnan(angle_bound({}, 0.05)));

    fig::Axes axes;
    BootAngles b;
    b.group1 = {10, 12, 12, 30};
    b.group2 = {5, 40};
    b.bound1 = 30, b.bound2 = 40, b.observed = 20;
    b.name1 = "Jord", b.name2 = "Teyah";
    showbootangles(axes, b);
    const auto ls = lines(axes);
    ASSERT_EQ(ls.size(), 5u);
    EXPECT_EQ(ls[0]->x, b.group1);
    EXPECT_NE(ls[0]->y[1], ls[0]->y[2]);  // equal angles kept apart
    EXPECT_EQ(ls[4]->x, (std::vector<double>{20, 20}));
    EXPECT_EQ(axes.yticks.labels, (std::vector<std::string>{"Teyah", "Jord"}));
    EXPECT_EQ(axes.limits()[1], 45);  // the largest angle and a tenth, to a multiple of 5
    EXPECT_EQ(axes.legend.size(), 4u);
}

class PictureTest : public ShowAxisTest {
  protected:
    // The distance along the unit axis that the last picture's layers were drawn at.
    std::vector<double> factors(std::size_t from) const {
        std::vector<double> out;
        const auto& lines = ui.console_lines();
        for (std::size_t i = from; i < lines.size(); ++i) {
            const std::string& l = lines[i];
            const std::size_t at = l.find(": the target lies ");
            if (at != std::string::npos)
                out.push_back(std::stod(l.substr(at + 18)));
        }
        return out;
    }
    static double sd(const ColVector& v) {
        const double mean = v.mean();
        return std::sqrt((v.array() - mean).square().sum() / static_cast<double>(v.size() - 1));
    }
};

// The Scale decides how far along the axis the target is drawn, and the caption says so.
TEST_F(PictureTest, TheScaleSetsTheTargetByTheSpreadOfTheScores) {
    analyse(true);
    ui.control("ExagerationBox").set_string("2");
    ui.control("ScaleBox").set_value(2);
    std::size_t from = ui.console_lines().size();
    ASSERT_TRUE(show(4, 2));
    const ColVector scores = ctx.vars.matrix("swc1g").col(1);
    ASSERT_EQ(factors(from).size(), 1u);
    EXPECT_NEAR(factors(from)[0], 2 * sd(scores), 1e-5 * sd(scores));
    EXPECT_NE(ui.figure().axes().caption.find("target at +2 SD of the scores"), std::string::npos);

    ui.control("ScaleBox").set_value(3);
    from = ui.console_lines().size();
    ASSERT_TRUE(show(4, 2));
    const double largest = (scores.array() - scores.mean()).maxCoeff();
    ASSERT_EQ(factors(from).size(), 1u);
    EXPECT_NEAR(factors(from)[0], largest, 1e-5 * std::abs(largest));
    EXPECT_NE(ui.figure().axes().caption.find("largest observed score"), std::string::npos);
}

// After a bootstrap its replicate angles stay in the session and make a picture whose caption
// says what a bound is, at the level the bootstrap used; before, the picture is refused.
TEST_F(PictureTest, TheBootstrapHasAPictureOfItsAngles) {
    analyse(true);
    EXPECT_FALSE(show(26));
    EXPECT_EQ(last_message(), "Run the bootstrap first: this picture shows its angles");
    ui.control("BootBox").set_string("20");
    ui.control("AlphaBox").set_string("0.1");
    ASSERT_TRUE(run_action(ctx, "BootSVD2Angle"));
    ASSERT_EQ(ctx.vars.matrix("bangle1").rows(), 20);
    ASSERT_TRUE(show(26, 2));
    const fig::Axes& a = ui.figure().axes();
    const auto ls = lines(a);
    ASSERT_GE(ls.size(), 4u);
    const ColVector col = ctx.vars.matrix("bangle1g").col(1);
    EXPECT_EQ(ls[1]->x, std::vector<double>(col.begin(), col.end()));
    const double observed = axis_angle(ctx.vars.matrix("ubee2"), ctx.vars.matrix("ubee2g"), 1);
    EXPECT_EQ(ls.back()->x, (std::vector<double>{observed, observed}));
    EXPECT_EQ(a.caption.rfind("Bootstrap of PLS axis 2, block 1", 0), 0u);
    EXPECT_NE(a.caption.find("bound (90 % of its angles at or below it)"), std::string::npos)
        << a.caption;
    EXPECT_EQ(a.yticks.labels[1], "groupA");
}

// Without homology each group's block 2 is superimposed on its own consensus: the caption of
// the superimposed block 2 must not call it the pooled one.
TEST_F(PictureTest, TheSuperimposedBlockTwoNamesTheConsensusItWasFittedTo) {
    analyse(true);
    const struct {
        int plot;
        double homology;
        const char* begins;
    } cases[] = {
        {8, 1, "Block 2 superimposed on the pooled consensus: groupA and groupB"},
        {8, 0, "Block 2 superimposed on each group's own consensus: groupA and groupB"},
        {7, 0, "Block 1 superimposed on the pooled consensus: groupA and groupB"},
    };
    for (const auto& c : cases) {
        ui.control("HomologyButton").set_value(c.homology);
        ASSERT_TRUE(show(c.plot)) << c.plot;
        EXPECT_EQ(ui.figure().axes().caption, c.begins) << c.plot << " " << c.homology;
    }
}

// Landmark numbers keep a fixed clearance on the page from their landmark's marker, however
// large the plotted range: a shift in points, not in data units.
TEST_F(PictureTest, LandmarkNumbersStandClearOfTheirMarkers) {
    analyse(true);
    ui.control("NumberButton").set_value(1);
    ASSERT_TRUE(show(3));
    int numbers = 0;
    for (const auto& o : ui.figure().axes().drawing_order()) {
        if (const auto* t = dynamic_cast<const fig::Text*>(o.get())) {
            ++numbers;
            EXPECT_TRUE(t->halo);
            // Half a 5-point marker and its rim lie within 3 points of the landmark.
            EXPECT_GE(t->offset_x_pt, 3) << t->string;
            EXPECT_GT(t->offset_y_pt, 0) << t->string;
        }
    }
    EXPECT_GT(numbers, 0);
}

}  // namespace
}  // namespace tesvane::test
