// Template orientation and the interactive rotation loop.
#include <gtest/gtest.h>

#include <cmath>

#include "display/rotationhandler.hpp"
#include "display/templateorient.hpp"
#include "display_test_util.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

const Matrix kPairs = (Matrix(2, 2) << 1, 1, 2, 2).finished();

TEST(Templateorient, FindsTheTurnAndScaleOfATemplate) {
    const Matrix ref = irregular_reference();
    const double t = M_PI / 6;
    const Matrix templ = similar(ref, t, 2, 0, 0, ref(0), ref(1));
    Matrix target = ref;
    target(4) += 0.05;
    const TemplateOrientation o = templateorient(templ, ref, target, kPairs);
    EXPECT_NEAR(std::remainder(o.theta - t, 2 * M_PI), 0, 1e-13);
    EXPECT_NEAR(o.xscale, 2, 1e-13);
    // The whole reference coincides, since the template is an exact similarity image.
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
    void answer(std::initializer_list<const char*> texts) {
        for (const char* t : texts)
            ui.queue(DialogAnswer::input(t));
    }
    RecordingPlatform ui;
    Matrix ref = row({1, 0, 0, 1, -1, -1, 0.5, 0.2, 3});
};

TEST_F(Rotationhandler, AnglesAddUpUntilZeroAndTheTurnedFormIsDrawnNumbered) {
    ui.add_control("NumberButton", "", 1);
    answer({"30", "15", "0"});
    const RotationResult r = rotationhandler(ui, ref, 0);
    EXPECT_NEAR(r.theta, M_PI / 4, 1e-15);
    EXPECT_LT(max_diff(r.reference, similar(ref, M_PI / 4, 1)), 1e-14);
    EXPECT_EQ(r.reference(8), 3);
    // Offers 10 for a start angle of 0, then the last entry.
    EXPECT_EQ(ui.defaults, (std::vector<std::string>{"10", "30", "15"}));
    const auto ls = lines(ui.figure().axes());  // magenta stars
    ASSERT_EQ(ls.size(), 4u);
    EXPECT_EQ(ls[0]->marker, "*");
    EXPECT_EQ(ls[0]->color, (fig::Rgb{1, 0, 1}));
    EXPECT_NEAR(ls[0]->x[0], r.reference(0), 1e-15);
    const auto ts = texts(ui.figure().axes());
    ASSERT_EQ(ts.size(), 4u);
    EXPECT_EQ(ts[3]->string, "4");
    EXPECT_NEAR(ts[3]->x, r.reference(6) + 0.02, 1e-15);
}

TEST_F(Rotationhandler, CancelAFailedDialogOrTextThatIsNotANumberEndsTheLoop) {
    ui.queue(DialogAnswer::cancel());
    RotationResult r = rotationhandler(ui, ref, -25);
    EXPECT_EQ(r.theta, 0);
    EXPECT_EQ(r.reference, ref);
    answer({"90"});  // no second answer queued: the dialog cannot be answered
    r = rotationhandler(ui, ref, 12.5);
    EXPECT_NEAR(r.theta, M_PI / 2, 1e-15);
    EXPECT_NEAR(r.reference(0), 0, 1e-15);
    EXPECT_NEAR(r.reference(1), 1, 1e-15);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Sorry, Failure on input dialog Box"});
    // A whole start angle is offered as it is.
    EXPECT_EQ(ui.defaults, (std::vector<std::string>{"-25", "12.5", "90"}));
    answer({"20", "a lot"});
    EXPECT_NEAR(rotationhandler(ui, ref, 10).theta, M_PI / 9, 1e-15);
    EXPECT_EQ(ui.queued(), 0u);
}

}  // namespace
}  // namespace tesvane::test
