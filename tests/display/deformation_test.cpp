// The deformation displays, checked on the figure object model: grid geometry, plot types,
// hold, rotation cases, superimposition types, landmark numbers, trimming and the message; and
// the arrow field with its automatic scale.
#include <algorithm>

#include "display/aheadw.hpp"
#include "display/deformation_grid.hpp"
#include "display/quiver.hpp"
#include "display/reversepwarb.hpp"
#include "display/showpw4template.hpp"
#include "display/showpw5.hpp"
#include "display_test_util.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

TEST(DeformationGrid, SpansTheLimitsWithFixedMarginsAndSquareCells) {
    const Matrix refxy = vertxy(box_reference());
    const DeformationGrid g = deformation_grid(refxy, Matrix::Zero(8, 2), {0, 8, 0, 4}, 16, 1);
    ASSERT_EQ(g.xw.rows(), 22);
    ASSERT_EQ(g.xw.cols(), 11);
    // Step, first and last x, first and last y.
    EXPECT_EQ(row({g.xstep, g.xw(0, 0), g.xw(21, 0), g.yw(0, 0), g.yw(0, 10)}),
              row({0.5, -1, 9.5, -0.5, 4.5}));
    EXPECT_EQ(g.xp, g.xw);  // no displacement, no deformation
    EXPECT_EQ(g.yp, g.yw);
    EXPECT_EQ(g.xv, Matrix::Zero(22, 11));
    // Range 1.5 (e = 0.5): x to [-4, 12], y to [-1.5, 5.5]; step 1, npts_y = 7 + 3.
    const DeformationGrid w = deformation_grid(refxy, Matrix::Zero(8, 2), {0, 8, 0, 4}, 16, 1.5);
    EXPECT_EQ(row({w.xstep, w.xw(0, 0), w.yw(0, 0), static_cast<double>(w.xw.cols())}),
              row({1, -6, -2.5, 10}));
    EXPECT_THROW(deformation_grid(refxy, Matrix::Zero(8, 2), {0, 8, 0, 4}, 0, 1), Error);
}

class Display : public ::testing::Test {
  protected:
    // showpw5 of the box reference with default styles.
    DeformationResult show(const Matrix& pw, int plottype, int suptype = 2,
                           const std::string& linespec = "k", double trim = 0,
                           double defangle = 10) {
        return showpw5(ui, ref, pw, 16, plottype, suptype, 1, 2, 1, linespec, "kd", 1, 1, trim,
                       defangle);
    }
    const fig::Axes& axes() { return ui.figure().axes(); }
    RecordingPlatform ui;
    Matrix ref = box_reference();
    Matrix zero = Matrix::Zero(1, 7);
    Matrix scores = row({0.3, -0.2, 0.4, 0.1, 0.2, -0.3, 1});
};

TEST_F(Display, ZeroScoresDrawAnUndeformedSquareGrid) {
    const DeformationResult r = show(zero, 1);
    const auto ls = lines(axes());
    ASSERT_EQ(ls.size(), 11u + 22u + 1u);
    for (size_t j = 0; j < 11; ++j) {  // one polyline per column, through the 22 rows
        ASSERT_EQ(ls[j]->x.size(), 22u);
        EXPECT_DOUBLE_EQ(ls[j]->x.front(), -1);
        EXPECT_DOUBLE_EQ(ls[j]->x.back(), 9.5);
        EXPECT_NEAR(ls[j]->y[7], -0.5 + 0.5 * static_cast<double>(j), 1e-12);
    }
    EXPECT_EQ(ls[11]->x.size(), 11u);  // then one per row, through the 11 columns
    EXPECT_EQ(ls[33]->marker, "d");
    EXPECT_EQ(ls[33]->x, (std::vector<double>{0, 8, 8, 0, 3}));
    EXPECT_LT(max_diff(r.bigrefdef2, ref), 1e-12);
    EXPECT_LT(max_diff(r.bigrefdef.leftCols(10), ref.leftCols(10)), 1e-12);
    EXPECT_EQ(r.bigrefdef(10), 1);  // of unit size
    EXPECT_EQ(r.theta, 0);          // no rotation controls at all
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(Display, PlotTypes98And99AndUnknownTypesDrawNoLines) {
    ui.add_control("NumberButton", "", 1);
    for (int type : {98, 99}) {
        const DeformationResult r = show(scores, type, 2, "k", 1);
        EXPECT_TRUE(axes().children().empty());
        EXPECT_EQ(r.bigrefdef(10), 1);
        EXPECT_LT(max_diff(r.bigrefdef.leftCols(10), r.bigrefdef2.leftCols(10)), 1e-12);
    }
    show(scores, 42);  // still numbered
    EXPECT_TRUE(lines(axes()).empty());
    EXPECT_EQ(texts(axes()).size(), 5u);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(Display, RedGridsGetBlackVectorsArrowFieldsAndContoursOfTheMagnitudes) {
    const DeformationResult r = show(scores, 4, 2, "r-");
    const auto ls = lines(axes());
    ASSERT_EQ(ls.size(), 33u + 15u + 1u);
    EXPECT_EQ(ls[0]->color, (fig::Rgb{1, 0, 0}));
    EXPECT_EQ(ls[33]->color, (fig::Rgb{0, 0, 0}));
    EXPECT_NEAR(ls[33]->x[1], r.bigrefdef(0), 1e-15);
    // The spline reproduces the target at the landmarks.
    EXPECT_LT(max_diff(r.bigrefdef.leftCols(10), r.bigrefdef2.leftCols(10)), 1e-10);
    show(scores, 2);
    ASSERT_EQ(lines(axes()).size(), 3u);  // shafts, heads, markers
    EXPECT_EQ(lines(axes())[0]->x.size(), 3u * 22 * 11);
    for (int type : {6, 7}) {  // 6 only along x, 7 only along y
        show(scores, type);
        const fig::Line* s = lines(axes())[0];
        const std::vector<double>& fixed = type == 6 ? s->y : s->x;
        for (size_t i = 0; i < s->x.size(); i += 3)
            EXPECT_EQ(fixed[i], fixed[i + 1]) << type;
    }
    for (int type : {8, 9}) {
        show(scores, type);
        ASSERT_EQ(axes().drawing_order().size(), 2u);
        const auto* c = dynamic_cast<const fig::FilledContour*>(axes().drawing_order()[0].get());
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(row({double(c->Z.rows()), double(c->Z.cols())}), row({22, 11}));
        EXPECT_TRUE(c->Z.minCoeff() >= 0 && c->Z.maxCoeff() > 0);
    }
}

TEST_F(Display, BaselineRegistrationAndSlidingBaselinePlaceTheLandmarks) {
    ui.add_control("NumberButton", "", 1);
    ui.add_control("RotateRequest", "", 1);  // not asked for: no dialog without rotation step
    const DeformationResult r = show(scores, 1, 0, "k", 0, 33);
    const fig::Line* m = lines(axes()).back();
    EXPECT_LT(max_diff(row({m->x[0], m->y[0], m->x[1], m->y[1]}), row({0, 0, 1, 0})), 1e-15);
    EXPECT_EQ(r.theta, 33);
    EXPECT_TRUE(ui.dialog_titles().empty());
    EXPECT_EQ(texts(axes()).size(), 5u);
    EXPECT_TRUE(std::ranges::count(ui.console_lines(), "using BC"));
    show(scores, 1, 1);  // sliding baseline: the baseline stays on the axis
    m = lines(axes()).back();
    EXPECT_NEAR(m->x[0] + m->x[1] + m->x[2] + m->x[3] + m->x[4], 0, 1e-14);
    EXPECT_LT(max_diff(row({m->y[0], m->y[1]}), row({0, 0})), 1e-15);
    EXPECT_LT(max_diff(show(zero, 1, 3).bigrefdef2, ref), 1e-12);  // resistant fit
}

TEST_F(Display, BothFormsTurnByTheTypedAngleWhichMustBeANumber) {
    ui.add_control("RotateRequest", "", 0);
    ui.add_control("RefAngleBox", "90", 0);
    const DeformationResult r = show(scores, 1);
    EXPECT_NEAR(r.theta, 90, 1e-12);
    const Matrix target = similar(reversepwarb(ref, scores), M_PI / 2, 1);  // (x, y) to (-y, x)
    EXPECT_LT(max_diff(r.bigrefdef2.leftCols(10), target.leftCols(10)), 1e-12);
    const fig::Line* m = lines(axes()).back();
    EXPECT_NEAR(m->x[1], 0, 1e-12);  // landmark (8, 0) shown at (0, 8)
    EXPECT_NEAR(m->y[1], 8, 1e-12);
    EXPECT_TRUE(ui.dialog_titles().empty());
    ui.control("RefAngleBox").set_string("ninety");  // an unticked request needs a number
    EXPECT_THROW(show(scores, 1), Error);
    ui.remove_control("RotateRequest");  // without the check box the text is passed over
    EXPECT_EQ(show(scores, 1).theta, 0);
}

TEST_F(Display, TickedRotateRequestAsksExceptForPlotType5DrawnOverIt) {
    ui.add_control("RotateRequest", "", 1);
    ui.queue(DialogAnswer::input("30"));
    ui.queue(DialogAnswer::input("0"));
    const DeformationResult r = show(scores, 3, 2, "k", 0, 10);
    EXPECT_NEAR(r.theta, 30, 1e-12);
    EXPECT_EQ(ui.dialog_titles().size(), 2u);
    const size_t before = axes().children().size();
    const fig::Handle first = axes().drawing_order().front()->handle();
    // The second layer is drawn over the first, turned by its angle without asking.
    const DeformationResult r5 = show(scores, 5, 2, "k", 0, r.theta);
    EXPECT_EQ(axes().drawing_order().front()->handle(), first);
    // White dot, five vectors with two barbs each, the landmark markers as one object.
    EXPECT_EQ(axes().children().size(), before + 1 + 15 + 1);
    EXPECT_NEAR(r5.theta, 30, 1e-12);
    EXPECT_LT(max_diff(r5.bigrefdef2, r.bigrefdef2), 1e-12);
    EXPECT_EQ(ui.dialog_titles().size(), 2u);
}

TEST_F(Display, TrimmingMovesTheCornersByClicksAndStopsAtTheEdgesOfTheGrid) {
    // From rows 4 and 22, columns 4 and 11, one node per click until a right click. markupx:
    // left four times -> row 1, the last click stops at the first node; markupy: none -> column
    // 4; marklox: right stops at the last node, then left -> row 21; markloy: down -> column 10.
    for (double x : {-100, -100, -100, -100, 0, 0, 100, -100, 0})
        ui.queue(DialogAnswer::mouse(Click{x, 0, x == 0 ? 3 : 1}));
    ui.queue(DialogAnswer::mouse(Click{0, -100, 1}));
    ui.queue(DialogAnswer::mouse(Click{0, 0, 3}));
    show(zero, 4, 2, "k", 1);
    EXPECT_EQ(ui.queued(), 0u);
    const auto ls = lines(axes());
    // Columns 4 ... 10 through rows 1 ... 21, rows 1 ... 21 through columns 4 ... 10, 5 vectors
    // with heads, the markers.
    ASSERT_EQ(ls.size(), 7u + 21u + 15u + 1u);
    EXPECT_EQ(ls[0]->x.size(), 21u);
    EXPECT_EQ(row({ls[0]->x.front(), ls[0]->y.front(), ls[6]->x.back(), ls[6]->y.back()}),
              row({-1, 1, 9, 4}));
    EXPECT_EQ(ls[7]->x.size(), 7u);
    EXPECT_TRUE(std::ranges::count(ui.console_lines(), "markloy 10"));
}

TEST_F(Display, OnATemplateTheFormsArePlacedOnItAndTheRotationIsReported) {
    const auto show = [this](const Matrix& templ, int plottype) {
        return showpw4template(ui, templ, (Matrix(2, 2) << 1, 1, 2, 2).finished(), ref,
                               Matrix::Zero(1, 11), 20, plottype, 2, 1, 2, 1, "k", "kd", 1, 1, 0,
                               10);
    };
    ref = irregular_reference();
    // The template: the reference turned by 30 degrees about landmark 1 and doubled.
    const Matrix templ = similar(ref, M_PI / 6, 2, 0, 0, ref(0), ref(1));
    const DeformationResult r = show(templ, 1);
    EXPECT_NEAR(std::remainder(r.theta - 30, 360), 0, 1e-10);
    EXPECT_LT(max_diff(r.bigrefdef2, templ), 1e-12);
    // Without an interactive rotation the text goes to the Messages pane, not into a box.
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_EQ(ui.notes().size(), 1u);
    EXPECT_EQ(ui.notes()[0], "The rotation used was 30.000 degrees");
    EXPECT_NEAR(lines(axes()).back()->x[3], templ(6), 1e-12);

    // Turned by the typed angle first: the registration turns it back onto the reference.
    ui.add_control("RotateRequest", "", 0);
    ui.add_control("RefAngleBox", "-30", 0);
    EXPECT_NEAR(std::remainder(show(templ, 98).theta, 360), 0, 1e-10);
    EXPECT_EQ(ui.notes().size(), 1u);  // none for plot type 98
}

// A 3 x 4 grid over x 0 ... 4 (along the columns) and y 0 ... 3 (along the rows).
struct Grid {
    Matrix x = Matrix::Ones(3, 1) * RowVector::LinSpaced(4, 0, 4);
    Matrix y = ColVector::LinSpaced(3, 0, 3) * Matrix::Ones(1, 4);
};

TEST(Quiver, TheLongestArrowFitsTheGridSpacing) {
    const Grid g;
    Matrix u = Matrix::Zero(3, 4), v = Matrix::Zero(3, 4);
    u(1, 2) = 1;  // delx = dely = 1, del = 2, len = 1: drawn 0.9 sqrt(2) long
    v(1, 2) = 1;
    u(0, 0) = 0.5;
    fig::Axes axes;
    const QuiverHandles handles = quiver(axes, g.x, g.y, u, v);
    const auto ls = lines(axes);
    ASSERT_EQ(ls.size(), 2u);
    EXPECT_EQ(ls[1]->handle(), handles.heads);
    ASSERT_EQ(ls[0]->x.size(), 36u);
    ASSERT_EQ(ls[1]->x.size(), 48u);
    // Node (1, 2) is the eighth in column order (index 7).
    const size_t s = 3 * 7;
    EXPECT_DOUBLE_EQ(ls[0]->x[s], 8.0 / 3);
    EXPECT_DOUBLE_EQ(ls[0]->y[s], 1.5);
    EXPECT_NEAR(std::hypot(ls[0]->x[s + 1] - ls[0]->x[s], ls[0]->y[s + 1] - ls[0]->y[s]),
                0.9 * std::sqrt(2.0), 1e-14);
    EXPECT_TRUE(std::isnan(ls[0]->x[s + 2]));
    // The other arrow keeps its relative length.
    EXPECT_NEAR(ls[0]->x[1] - ls[0]->x[0], 0.45, 1e-14);
    // Head of the diagonal arrow (u = v = 0.9): barbs at tip - 0.33 (0.9 -+ 0.33 0.9, ...).
    const size_t hd = 4 * 7;
    const double tipx = 8.0 / 3 + 0.9, tipy = 1.5 + 0.9;
    const double a = 0.33 * (0.9 + 0.33 * 0.9), b = 0.33 * (0.9 - 0.33 * 0.9);
    const fig::Line* h = ls[1];
    EXPECT_LT(max_diff(row({h->x[hd + 1], h->y[hd + 1]}), row({tipx, tipy})), 1e-14);
    EXPECT_LT(max_diff(row({h->x[hd], h->y[hd], h->x[hd + 2], h->y[hd + 2]}),
                       row({tipx - a, tipy - b, tipx - b, tipy - a})),
              1e-12);
    EXPECT_TRUE(std::isnan(ls[1]->y[hd + 3]));
}

TEST(Quiver, ZeroVectorsShrinkToTheirNodesHoldIsRespectedAndSizesMustAgree) {
    const Grid g;
    fig::Axes axes;
    EXPECT_THROW(quiver(axes, g.x, g.y, Matrix::Zero(4, 3), Matrix::Zero(3, 4)), Error);
    EXPECT_TRUE(axes.children().empty());
    axes.plot({0}, {0}, "ko");
    quiver(axes, g.x, g.y, Matrix::Zero(3, 4), Matrix::Zero(3, 4));
    auto ls = lines(axes);
    ASSERT_EQ(ls.size(), 2u);       // the field replaced the marker
    for (Index i = 0; i < 12; ++i)  // shafts and the three points of the heads at the node
        for (size_t p = 0; p < 3; ++p)
            EXPECT_LT(
                max_diff(row({ls[0]->x[3 * i + p % 2], ls[1]->x[4 * i + p], ls[1]->y[4 * i + p]}),
                         row({g.x(i), g.x(i), g.y(i)})),
                1e-15);
    EXPECT_FALSE(axes.hold());
    axes.set_hold(true);
    quiver(axes, g.x, g.y, g.x, g.y);
    EXPECT_EQ(lines(axes).size(), 4u);
}

TEST(Aheadw, BarbsOfFixedLengthAtTwentyDegrees) {
    fig::Axes axes;
    aheadw(axes, 0, 0, 0, 2, 0.5);  // pointing up
    const auto ls = lines(axes);
    ASSERT_EQ(ls.size(), 2u);
    EXPECT_TRUE(axes.hold());
    const double dx = 0.5 * std::sin(M_PI / 9), y = 2 - 0.5 * std::cos(M_PI / 9);
    EXPECT_LT(max_diff(row({ls[0]->x[0], ls[0]->y[0], ls[0]->x[1], ls[0]->y[1], ls[1]->x[0],
                            ls[1]->y[0], ls[1]->x[1], ls[1]->y[1]}),
                       row({0, 2, dx, y, 0, 2, -dx, y})),
              1e-15);
}

}  // namespace
}  // namespace tesvane::test
