// Template orientation and the interactive rotation loop.
#include <gtest/gtest.h>

#include <cmath>

#include "display/rotationhandler.hpp"
#include "display/templateorient.hpp"
#include "display_test_util.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

// The landmarks of a row turned by t about the point (px, py) and scaled by s about it.
Matrix turn_about(const Matrix& x, double t, double s, double px, double py) {
    Matrix y = x;
    for (Index j = 0; 2 * j + 2 < x.size(); ++j) {
        const double dx = x(2 * j) - px, dy = x(2 * j + 1) - py;
        y(2 * j) = px + s * (std::cos(t) * dx - std::sin(t) * dy);
        y(2 * j + 1) = py + s * (std::sin(t) * dx + std::cos(t) * dy);
    }
    return y;
}

const Matrix kPairs = (Matrix(2, 2) << 1, 1, 2, 2).finished();

TEST(Templateorient, ATemplateEqualToTheReferenceChangesNothing) {
    const Matrix ref = irregular_reference();
    const TemplateOrientation o = templateorient(ref, ref, ref, kPairs);
    EXPECT_EQ(o.tx, 0);
    EXPECT_EQ(o.ty, 0);
    EXPECT_NEAR(o.xscale, 1, 1e-15);
    EXPECT_NEAR(o.theta, 0, 1e-15);
    EXPECT_LT(max_diff(o.sref, ref), 1e-15);
}

TEST(Templateorient, FindsTheTurnAndScaleOfATemplate) {
    const Matrix ref = irregular_reference();
    const double t = M_PI / 6;
    const Matrix templ = turn_about(ref, t, 2, ref(0), ref(1));
    Matrix target = ref;
    target(4) += 0.05;
    const TemplateOrientation o = templateorient(templ, ref, target, kPairs);
    EXPECT_NEAR(std::remainder(o.theta - t, 2 * M_PI), 0, 1e-13);
    EXPECT_NEAR(o.xscale, 2, 1e-13);
    EXPECT_LT(max_diff(o.sref.leftCols(4), templ.leftCols(4)), 1e-13);
    // The whole reference coincides too, since the template is an exact similarity image.
    EXPECT_LT(max_diff(o.sref, templ), 1e-13);
    // The target's displacement is turned and doubled with it.
    EXPECT_NEAR(o.starget(4) - o.sref(4), 2 * 0.05 * std::cos(t), 1e-13);
    EXPECT_NEAR(o.starget(5) - o.sref(5), 2 * 0.05 * std::sin(t), 1e-13);
    EXPECT_EQ(o.starget(14), target(14));
}

TEST(Templateorient, RejectsLandmarksTheFormsDoNotHave) {
    const Matrix ref = irregular_reference();
    const Matrix small = row({0, 0, 1, 0, 0, 1, 1});
    EXPECT_THROW(templateorient(small, ref, ref, (Matrix(2, 2) << 1, 1, 2, 4).finished()), Error);
    EXPECT_THROW(templateorient(ref, ref, ref, (Matrix(2, 2) << 0, 1, 2, 2).finished()), Error);
    EXPECT_THROW(templateorient(ref, ref, ref, (Matrix(2, 2) << 1, 1, 1, 2).finished()), Error);
}

class Rotationhandler : public ::testing::Test {
  protected:
    RecordingPlatform ui;
    Matrix ref = row({1, 0, 0, 1, -1, -1, 0.5, 0.2, 3});
};

TEST_F(Rotationhandler, AnglesAddUpUntilZero) {
    ui.queue(DialogAnswer::input("30"));
    ui.queue(DialogAnswer::input("15"));
    ui.queue(DialogAnswer::input("0"));
    const RotationResult r = rotationhandler(ui, ref, 0);
    EXPECT_NEAR(r.theta, M_PI / 4, 1e-15);
    const double c = std::cos(M_PI / 4), s = std::sin(M_PI / 4);
    for (Index j = 0; j < 4; ++j) {
        EXPECT_NEAR(r.reference(2 * j), c * ref(2 * j) - s * ref(2 * j + 1), 1e-14);
        EXPECT_NEAR(r.reference(2 * j + 1), s * ref(2 * j) + c * ref(2 * j + 1), 1e-14);
    }
    EXPECT_EQ(r.reference(8), 3);
    // Offers 10 for a start angle of 0, then the last entry.
    EXPECT_EQ(ui.defaults, (std::vector<std::string>{"10", "30", "15"}));
    ASSERT_EQ(ui.dialog_titles().size(), 3u);
    EXPECT_EQ(ui.dialog_titles()[0], "Reference Rotation Selection, Positive is Counter-Clockwise");
    EXPECT_EQ(ui.prompts[0], "Enter Desired Rotation, or Zero to end rotation");
    // The picture shows the turned form in magenta stars.
    const auto ls = lines(ui.figure().axes());
    ASSERT_EQ(ls.size(), 4u);
    EXPECT_EQ(ls[0]->marker, "*");
    EXPECT_EQ(ls[0]->color, (fig::Rgb{1, 0, 1}));
    EXPECT_NEAR(ls[0]->x[0], r.reference(0), 1e-15);
    EXPECT_TRUE(ui.figure().axes().equal());
}

TEST_F(Rotationhandler, CancelKeepsTheFormAndAWholeStartAngleIsOfferedAsIs) {
    ui.queue(DialogAnswer::cancel());
    const RotationResult r = rotationhandler(ui, ref, -25);
    EXPECT_EQ(r.theta, 0);
    EXPECT_EQ(r.reference, ref);
    EXPECT_EQ(ui.defaults, (std::vector<std::string>{"-25"}));
}

TEST_F(Rotationhandler, AFailedDialogEndsTheLoopWithAMessage) {
    ui.queue(DialogAnswer::input("90"));
    // No second answer queued: the dialog cannot be answered.
    const RotationResult r = rotationhandler(ui, ref, 12.5);
    EXPECT_NEAR(r.theta, M_PI / 2, 1e-15);
    EXPECT_NEAR(r.reference(0), 0, 1e-15);
    EXPECT_NEAR(r.reference(1), 1, 1e-15);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0], "Sorry, Failure on input dialog Box");
    EXPECT_EQ(ui.defaults[0], "12.5");
}

TEST_F(Rotationhandler, TextThatIsNotANumberEndsTheLoop) {
    ui.queue(DialogAnswer::input("20"));
    ui.queue(DialogAnswer::input("a lot"));
    const RotationResult r = rotationhandler(ui, ref, 10);
    EXPECT_NEAR(r.theta, M_PI / 9, 1e-15);
    EXPECT_EQ(ui.queued(), 0u);
}

TEST_F(Rotationhandler, NumbersTheLandmarksWhenAsked) {
    ui.add_control("NumberButton", "", 1);
    ui.queue(DialogAnswer::input("0"));
    rotationhandler(ui, ref, 10);
    const auto ts = texts(ui.figure().axes());
    ASSERT_EQ(ts.size(), 4u);
    EXPECT_EQ(ts[3]->string, "4");
    EXPECT_DOUBLE_EQ(ts[3]->x, 0.52);
    EXPECT_DOUBLE_EQ(ts[3]->y, 0.22);
}

}  // namespace
}  // namespace tesvane::test
