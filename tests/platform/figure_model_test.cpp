#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>

#include "platform/error.hpp"
#include "platform/figure/colormap.hpp"
#include "platform/figure/figure_model.hpp"
#include "test_util.hpp"

namespace tesvane::fig {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const Rgb kBlack{0, 0, 0}, kRed{1, 0, 0}, kBlue{0, 0, 1};

void expect_limits(const Limits& got, const Limits& want) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-12) << "entry " << i;
}

// ---- export sizes

TEST(ExportSize, WidthByHeightInMillimetresInchesOrPixelsIsPoints) {
    const std::tuple<const char*, double, double, double> cases[] = {
        {"85x85mm", 300, 240.9448818897638, 240.9448818897638},
        {"3.5X2in", 300, 252, 144},
        {"1200x900px", 300, 288, 216},  // pixels at the resolution
        {"1200x900px", 144, 600, 450},
        {"25.4x254mm", 72, 72, 720},
    };
    for (const auto& [text, dpi, w, h] : cases) {
        const ExportSize s = parse_export_size(text, dpi);
        EXPECT_NEAR(s.width_pt, w, 1e-9) << text;
        EXPECT_NEAR(s.height_pt, h, 1e-9) << text;
        EXPECT_EQ(s.dpi, dpi);
        // Written back, the text reads as the same size.
        const ExportSize again = parse_export_size(export_size_text(s), dpi);
        EXPECT_NEAR(again.width_pt, w, 1e-6) << export_size_text(s);
        EXPECT_NEAR(again.height_pt, h, 1e-6) << export_size_text(s);
    }
    EXPECT_EQ(export_size_text(ExportSize{}), "85x85mm");  // the default: one journal column
    EXPECT_EQ(export_size_text(parse_export_size("3x2in", 300)), "3x2in");

    const std::pair<const char*, const char*> bad[] = {
        {"85mm", "give WIDTHxHEIGHT"},      {"85x85", "unit must be"},
        {"85x85cm", "unit must be"},        {"ax85mm", "\"a\" is not a number"},
        {"85x-3mm", "between 0.1 and 100"}, {"85x85x2mm", "\"85x2\" is not a number"},
        {"0x85mm", "between 0.1 and 100"},  {"3000x85mm", "between 0.1 and 100"},
        {"nanx85mm", "is not a number"},    {"", "give WIDTHxHEIGHT"},
    };
    for (const auto& [text, why] : bad) {
        const std::string what = test::error_of([&] { parse_export_size(text, 300); });
        EXPECT_NE(what.find(std::string("\"") + text + "\""), std::string::npos) << what;
        EXPECT_NE(what.find(why), std::string::npos) << what;
    }
    EXPECT_THROW(parse_export_size("85x85mm", 0), Error);
}

// Titles, legend and caption belong to one picture: a new drawing starts without them.
TEST(Labels, ANewDrawingStartsWithoutTheLastPicturesLabels) {
    Figure f;
    Axes& ax = f.axes();
    for (bool by_cla : {true, false}) {
        ax.plot({0, 1}, {0, 1}, "k-");
        ax.xlabel = "x", ax.ylabel = "y", ax.caption = "c";
        ax.legend = {legend_entry("Jord", "bo")};
        ax.xticks = {{1}, {"Variable 1"}};
        ax.deformation_picture = true;
        if (by_cla)
            ax.cla();
        else
            ax.plot({0, 1}, {1, 0}, "r-");  // hold is off
        EXPECT_TRUE(ax.xlabel.empty() && ax.ylabel.empty() && ax.caption.empty());
        EXPECT_TRUE(ax.legend.empty() && ax.xticks.values.empty() && !ax.deformation_picture);
    }
    ax.set_hold(true);  // a second layer keeps them
    ax.caption = "kept";
    ax.plot({0, 1}, {0, 1}, "k-");
    EXPECT_EQ(ax.caption, "kept");
    const LegendEntry e = legend_entry("Teyah", "r*");
    EXPECT_TRUE(e.color == kRed && e.marker == "*" && e.line_style == "none");
}

// ---- style strings

TEST(ParseStyle, ColourLineAndMarkerCodes) {
    const std::tuple<const char*, Rgb, const char*, const char*> cases[] = {
        {"k-", kBlack, "-", "none"},    {"ko", kBlack, "none", "o"},
        {"r*", kRed, "none", "*"},      {"w.", {1, 1, 1}, "none", "."},
        {"k", kBlack, "-", "none"},     {"r--", kRed, "--", "none"},
        {"g:", {0, 1, 0}, ":", "none"}, {"m-.", {1, 0, 1}, "-.", "none"},
        {"c-o", {0, 1, 1}, "-", "o"},   {"y^", {1, 1, 0}, "none", "^"},
        {"o", kBlue, "none", "o"},      {"", kBlue, "-", "none"},
        {"--", kBlue, "--", "none"},    {".-", kBlue, "-", "."},
    };
    for (const auto& [text, color, line, marker] : cases) {
        const Style s = parse_style(text);
        EXPECT_TRUE(s.color == color && s.line_style == line && s.marker == marker) << text;
    }
}

TEST(ParseStyle, RejectsUnknownOrRepeatedCodesNamingTheString) {
    for (const char* bad : {"q", "kz", "k-r", "ko+", "--:", "k-x-", "red"}) {
        const std::string what = test::error_of([&] { parse_style(bad); });
        EXPECT_NE(what.find(std::string("\"") + bad + "\""), std::string::npos) << what;
    }
}

// ---- drawing, hold and children

TEST(AxesHold, OffReplacesAndResetsOnKeepsAddingAndBadInputChangesNothing) {
    Axes ax;
    const Line& a = ax.plot({0, 1}, {0, 1}, "ro");
    EXPECT_EQ((std::array{a.line_width, a.marker_size}), (std::array{0.5, 6.0}));
    ax.set_limits({0, 10, 0, 10});
    ax.set_equal(true);
    ax.plot({5}, {5}, "ko");  // hold off: a fresh picture, automatic limits, normal aspect
    EXPECT_TRUE(ax.children().size() == 1 && ax.auto_limits() && !ax.equal());

    ax.set_hold(true);
    ax.set_equal(true);
    EXPECT_DOUBLE_EQ(ax.plot({0}, {0}, "k.", -1, 3).line_width, 0.5);  // negative: the default
    ax.add(std::make_unique<FilledContour>(0));
    EXPECT_TRUE(ax.children().size() == 3 && ax.equal());  // hold on keeps the aspect

    ax.set_hold(false);
    EXPECT_THROW(ax.plot({1, 2}, {1}, "k-"), Error);
    EXPECT_THROW(ax.plot({1}, {1}, "kq"), Error);
    EXPECT_THROW(ax.add(nullptr), Error);
    ax.text(2, 2, "1");  // neither bad input nor text clears
    EXPECT_EQ(ax.children().size(), 4u);
    ax.add(std::make_unique<FilledContour>(0));  // a contour plot does
    EXPECT_EQ(ax.children().size(), 1u);
}

// Viewers repaint on each change: not on a removal that removes nothing, and still after a clear.
TEST(AxesChildren, NewestFirstWithHandlesNeverReusedAndEachChangeNotified) {
    Figure f;
    int calls = 0;
    f.on_change([&calls] { ++calls; });
    Axes& ax = f.axes();
    ax.set_hold(true);
    const Handle a = ax.plot({0}, {0}, "k.").handle();
    const Handle b = ax.text(1, 1, "2").handle();
    const Handle c = ax.add(std::make_unique<FilledContour>(a)).handle();  // its own handle ignored
    auto handles = [&ax] {
        std::vector<Handle> h;
        for (const auto* k : ax.children())
            h.push_back(k->handle());
        return h;
    };
    EXPECT_EQ(handles(), (std::vector<Handle>{c, b, a}));
    EXPECT_NE(a, c);
    EXPECT_EQ(ax.drawing_order().front()->handle(), a);
    EXPECT_TRUE(ax.remove(b));
    EXPECT_FALSE(ax.remove(b));
    EXPECT_EQ(handles(), (std::vector<Handle>{c, a}));
    ax.cla();
    EXPECT_TRUE(handles().empty());
    EXPECT_TRUE(ax.hold());  // cla keeps hold
    const Handle d = ax.plot({0}, {0}, "k.").handle();
    EXPECT_GT(d, c);
    f.clear();  // fresh axes, still without reusing handles
    EXPECT_GT(f.axes().plot({0}, {0}, "k.").handle(), d);
    EXPECT_EQ(calls, 8);  // three draws, a removal, cla, a draw, clear, a draw
}

// ---- limits

TEST(AxesLimits, AutomaticOnesRoundOutwardToTicks) {
    Axes ax;
    expect_limits(ax.limits(), {0, 1, 0, 1});  // nothing drawn
    // x range 0.74 and y range 0.73 both step by 0.2.
    ax.plot({0.13, 0.87}, {-0.42, 0.31}, "ko");
    expect_limits(ax.limits(), {0, 1, -0.6, 0.4});
    // Data on ticks keep those ticks as limits; not-a-number points are ignored.
    ax.plot({0, 0.5, kNaN, 1}, {0, 100, 7, 1}, "k-");
    ax.set_hold(true);
    ax.plot({kNaN}, {-50}, "k.");
    expect_limits(ax.limits(), {0, 1, 0, 100});
    // A single point gets a range around it, growing with its size.
    ax.set_hold(false);
    ax.plot({3}, {-2}, "ko");
    expect_limits(ax.limits(), {2, 4, -3, -1});
    ax.plot({0, 0}, {0, 0}, "ko");
    expect_limits(ax.limits(), {-1, 1, -1, 1});
    ax.plot({500, 500}, {0.25, 0.75}, "ko");  // degenerate in x only
    expect_limits(ax.limits(), {495, 505, 0.2, 0.8});
    for (double bad : {0.0, -1.0, kNaN, kInf})  // ranges without a step fall back to 1
        EXPECT_EQ(nice_step(bad), 1) << bad;
}

TEST(AxesLimits, IncludeTextsContoursAndTheOrigin) {
    Axes ax;
    ax.set_hold(true);
    ax.plot({2, 3}, {2, 3}, "ko");
    ax.plot({0}, {0}, "w.");  // a white dot still counts as data
    expect_limits(ax.limits(), {0, 3, 0, 3});
    ax.text(4.2, 1, "1");  // x range 4.2: step 1
    expect_limits(ax.limits(), {0, 5, 0, 3});
    auto c = std::make_unique<FilledContour>(0);
    c->X = Matrix::Constant(2, 2, -1.5);
    c->Y = Matrix::Constant(2, 2, 0.5);
    c->X(1, 1) = kNaN;
    ax.add(std::move(c));  // x from -1.5 to 4.2: range 5.7, step 1
    expect_limits(ax.limits(), {-2, 5, 0, 3});
}

TEST(AxesLimits, ManualUntilSetBackToAutoAndRejectsEmptyOrNonFiniteRanges) {
    Axes ax;
    for (const Limits& bad :
         {Limits{1, 1, 0, 1}, Limits{0, 1, 2, 1}, Limits{0, kNaN, 0, 1}, Limits{0, 1, 0, kInf}})
        EXPECT_THROW(ax.set_limits(bad), Error);
    EXPECT_TRUE(ax.auto_limits());
    ax.plot({0.13, 0.87}, {-0.42, 0.31}, "ko");
    ax.set_limits({-1, 2, -3, 4});
    ax.set_hold(true);
    ax.plot({100}, {100}, "k.");
    expect_limits(ax.limits(), {-1, 2, -3, 4});
    ax.set_auto_limits();
    expect_limits(ax.limits(), {0, 100, -20, 100});
}

// ---- colour map

TEST(Colormap, RunsFromDarkVioletToYellow) {
    auto near = [](Rgb a, Rgb b) { return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b) < 1e-12; };
    // Halfway between the first two anchors, (68, 1, 84) and (72, 36, 117).
    EXPECT_TRUE(near(colormap_at(0.05), (Rgb{70 / 255.0, 18.5 / 255.0, 100.5 / 255.0})));

    EXPECT_TRUE(default_colormap(0).empty() &&
                near(default_colormap(1).at(0), (Rgb{33 / 255.0, 145 / 255.0, 140 / 255.0})));
    const auto map = default_colormap(12);
    ASSERT_EQ(map.size(), 12u);
    EXPECT_TRUE(near(map.front(), colormap_at(0)) && near(map.back(), colormap_at(1)));
    // Ordered by lightness, so the bands read as a ramp also in grey print.
    auto luma = [](Rgb c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; };
    for (std::size_t i = 1; i < map.size(); ++i)
        EXPECT_GT(luma(map[i]), luma(map[i - 1])) << i;
}

}  // namespace
}  // namespace tesvane::fig
