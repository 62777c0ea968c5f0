#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "app/app_fixture.hpp"
#include "figure/CopyBigImage.hpp"
#include "figure/CopyImageEPS.hpp"
#include "figure/figure_units.hpp"
#include "figure/register_figure_commands.hpp"
#include "platform/error.hpp"
#include "platform/figure/contour.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;
const fig::Rgb kBlack{0, 0, 0};

void expect_position(const fig::Position& got, const fig::Position& want) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-9) << "entry " << i;
}

// The picture as it stood when the program copied or saved it, and how often that happened.
struct Snapshot {
    int count = 0;
    fig::Limits limits{};
    bool equal = false;
    std::string axes_units, figure_units, path, format;
    fig::Position axes_position{}, figure_position{};
};
Snapshot take(const Snapshot& last, const fig::Figure& f, std::string path = {},
              std::string format = {}) {
    const fig::Axes& a = f.axes();
    return {last.count + 1, a.limits(), a.equal(),  a.units,   f.units,
            path,           format,     a.position, f.position};
}

class FigureCommands : public AppTest {
  protected:
    FigureCommands() {
        ui.on_copy_figure([this](const fig::Figure& f) { copied = take(copied, f); });
        ui.on_save_figure_file(
            [this](const fig::Figure& f, const std::string& path, const std::string& format) {
                saved = take(saved, f, path, format);
            });
        axes().position = {0.1, 0.2, 0.7, 0.6};
        axes().units = "normalized";
    }
    fig::Axes& axes() { return ui.figure().axes(); }
    void call(const std::string& name, const Values& in = {}) { ctx.functions.call(ctx, name, in); }
    static Matrix num(double v) { return Matrix::Constant(1, 1, v); }
    // After an export the axes are back where they were, with automatic limits.
    void expect_axes_restored() {
        EXPECT_EQ(axes().units, "normalized");
        expect_position(axes().position, {0.1, 0.2, 0.7, 0.6});
        EXPECT_TRUE(axes().auto_limits());
    }

    Snapshot copied, saved;
};

TEST_F(FigureCommands, RestylingChangesLinesOnly) {
    const Matrix X = (Matrix(2, 2) << 0, 1, 0, 1).finished();
    fig::contourf(axes(), X, X.transpose(), X);
    axes().set_hold(true);
    fig::Line& solid = axes().plot({0, 1}, {0, 1}, "r-o", 1.5, 6);
    fig::Line& dots = axes().plot({0, 1}, {1, 0}, "bs", -1, 3);
    axes().text(1, 1, "1");  // not a line: left alone
    call("setsymbolfill", {num(1), num(1)});
    EXPECT_EQ(solid.marker_face, fig::ColorSpec::color({1, 0, 0}));
    call("setsymbolfill", {num(1), num(0)});
    EXPECT_EQ(solid.marker_face, fig::ColorSpec::none());

    call("incrementlinethickness", {num(1), num(0.5)});  // marker-only lines are skipped
    EXPECT_DOUBLE_EQ(solid.line_width, 2);
    EXPECT_DOUBLE_EQ(dots.line_width, 0.5);
    call("setlinethickness", {num(1), num(3)});  // but not here
    EXPECT_DOUBLE_EQ(dots.line_width, 3);
    call("incrementlinethickness", {num(1), num(-4)});  // not clamped
    EXPECT_DOUBLE_EQ(solid.line_width, -1);

    call("incrementsymbolsize", {num(1), num(-4)});
    EXPECT_DOUBLE_EQ(solid.marker_size, 2);
    EXPECT_DOUBLE_EQ(dots.marker_size, -1);
    call("setsymbolbw", {num(1)});
    for (const fig::Line* l : {&solid, &dots})  // black markers; the line colour itself stays
        EXPECT_TRUE(l->marker_edge == fig::ColorSpec::color(kBlack) &&
                    l->marker_face == fig::ColorSpec::color(kBlack) && l->color != kBlack);
}

TEST_F(FigureCommands, HandlesAndMenuDefaults) {
    fig::Line& l = axes().plot({0, 1}, {0, 1}, "bo-", 1, 6);
    // Not a handle of this figure, not a number, too many inputs.
    for (const Values& bad : {Values{num(2), num(1)}, Values{std::string("gca"), num(1)},
                              Values{num(1), num(1), num(1)}})
        EXPECT_THROW(call("setsymbolfill", bad), Error);
    // Called from the menu without inputs: the current axes and the default amounts.
    for (const char* name : {"setsymbolfill", "incrementsymbolsize", "incrementlinethickness"})
        call(name);
    EXPECT_EQ(l.marker_face, fig::ColorSpec::color({0, 0, 1}));
    EXPECT_DOUBLE_EQ(l.marker_size, 7);
    EXPECT_DOUBLE_EQ(l.line_width, 1.5);
    call("setlinethickness");
    EXPECT_DOUBLE_EQ(l.line_width, 0.5);
    for (const FigureMenuEntry& e : figure_menu_entries())
        EXPECT_TRUE(ctx.functions.has(e.function)) << e.function;
}

TEST_F(FigureCommands, ExportsEnlargeThePictureAndRestoreTheAxes) {
    axes().plot({0, 10}, {0, 5}, "k-");
    call("CopyBigImage", {num(1)});
    ASSERT_EQ(copied.count, 1);
    expect_position(copied.limits, {-0.3, 10.3, -0.15, 5.15});
    EXPECT_TRUE(copied.equal);
    // 560 x 420 pixels are 93.33 x 35 characters of 6 x 12 points.
    EXPECT_EQ(copied.figure_units, "characters");
    expect_position(copied.figure_position, {0, 0, 560.0 / 6, 35});
    EXPECT_EQ(copied.axes_units, "characters");
    expect_position(copied.axes_position, {12, 3, 560.0 / 6 - 5, 31});
    expect_axes_restored();
    EXPECT_TRUE(axes().equal());
    EXPECT_EQ(ui.figure().units, "pixels");
    expect_position(ui.figure().position, {0, 0, 560, 420});

    // The NA variant copies with automatic limits and leaves the window in characters.
    axes().set_limits({2, 3, 2, 3});
    call("CopyBigImageNA");
    ASSERT_EQ(copied.count, 2);
    EXPECT_EQ(copied.limits, (fig::Limits{0, 10, 0, 5}));
    EXPECT_EQ(ui.figure().units, "characters");
    expect_axes_restored();

    // CopyImageEPS saves the same enlarged picture to the named file and enters its folder.
    axes().set_limits({2, 3, 2, 3});
    fs::create_directories(dir / "out");
    ui.queue(DialogAnswer::file((dir / "out" / "shape").string()));
    call("CopyImageEPS", {num(1)});
    EXPECT_EQ(ui.dialog_titles(),
              std::vector<std::string>{"Enter File Name for EPS file (end with .EPS)"});
    ASSERT_EQ(saved.count, 1);
    // The named file (nothing appended), as an enlarged picture with automatic limits.
    EXPECT_EQ(std::tuple(saved.format, saved.path, saved.axes_units, saved.limits, saved.equal),
              std::tuple(std::string("eps"), (dir / "out" / "shape").string(),
                         std::string("characters"), fig::Limits{0, 10, 0, 5}, true));
    EXPECT_EQ(fs::current_path(), dir / "out");
    expect_axes_restored();

    ui.queue(DialogAnswer::cancel());  // cancelled: nothing written, the axes still restored
    call("CopyImageEPS");
    EXPECT_EQ(saved.count, 1);
    EXPECT_EQ(fs::current_path(), dir / "out");
    expect_axes_restored();
}

TEST_F(FigureCommands, FailedExportsStopBeforeTheRestore) {
    HeadlessPlatform bare;  // no writer: the platform cannot export
    bare.queue(DialogAnswer::file((dir / "x.eps").string()));
    EXPECT_EQ(error_of([&] { CopyImageEPS(bare); }), "figure export is not available");
    EXPECT_EQ(bare.figure().axes().units, "characters");

    ui.on_copy_figure([](const fig::Figure&) { throw Error("clipboard busy"); });
    EXPECT_FALSE(Tesvane6i_callback(ctx, "CopyBigImage", {}));
    EXPECT_EQ(last_console(), "Error: clipboard busy");
    EXPECT_EQ(axes().units, "characters");
    EXPECT_FALSE(axes().auto_limits());

    ui.on_copy_figure([this](const fig::Figure& f) { copied = take(copied, f); });
    ui.figure().units = "normalized";  // a window without a physical size is not enlarged
    ui.figure().position = {0, 0, 1, 1};
    axes().units = "normalized";
    EXPECT_THROW(CopyBigImage(ui), Error);
    EXPECT_EQ(copied.count, 0);
    EXPECT_EQ(ui.figure().units, "normalized");
    EXPECT_EQ(axes().units, "normalized");
}

TEST_F(FigureCommands, ScriptsWriteEPSThroughTheirSaverWhateverTheName) {
    std::vector<std::string> written;
    auto saver = [&written](const fig::Figure&, const std::string& path) {
        written.push_back(fs::path(path).filename().string());
        std::ofstream(path) << "%!PS-Adobe-3.0 EPSF-3.0\n";
    };
    const auto script = write("s.txt",
                              "answer file fish\ncall CopyImageEPS 1\n"
                              "answer file fish.EPS\ncall CopyImageEPS 1\n");
    std::ostringstream out, err;
    ASSERT_EQ(run_script(script.string(), out, err, saver), 0) << err.str();
    // A name without the extension goes through a unique temporary name that has it.
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].rfind(".fish.", 0), 0u) << written[0];
    EXPECT_EQ(written[0].substr(written[0].size() - 4), ".eps");
    EXPECT_EQ(written[1], "fish.EPS");
    EXPECT_EQ(read(dir / "fish"), "%!PS-Adobe-3.0 EPSF-3.0\n");
    EXPECT_FALSE(fs::exists(dir / written[0]));
}

TEST(FigureUnits, ConvertsThroughPoints) {
    expect_position(convert_position({6, 12, 60, 120}, "pixels", "characters"), {1, 1, 10, 10});
    expect_position(convert_position({1, 2, 3, 4}, "characters", "inches"),
                    {6.0 / 72, 24.0 / 72, 18.0 / 72, 48.0 / 72});
    expect_position(convert_position({2.54, 0, 0, 2.54}, "centimeters", "points"), {72, 0, 0, 72});
    EXPECT_THROW(convert_position({0, 0, 1, 1}, "normalized", "characters"), Error);
    EXPECT_THROW(convert_position({0, 0, 1, 1}, "pixels", "furlongs"), Error);
}

}  // namespace
}  // namespace tesvane::test
