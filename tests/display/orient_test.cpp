// Orienting forms: template orientation, the interactive rotation loop, baseline registration,
// the sliding baseline and the resistant fit.
#include <gtest/gtest.h>

#include <cmath>

#include "display/basereg.hpp"
#include "display/meth3sup.hpp"
#include "display/rftra.hpp"
#include "display/rotationhandler.hpp"
#include "display/templateorient.hpp"
#include "display_test_util.hpp"
#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

const Matrix kPairs = (Matrix(2, 2) << 1, 1, 2, 2).finished();

TEST(Templateorient, FindsTheTurnAndScaleOfATemplateAndRejectsMissingLandmarks) {
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
    // Landmarks the forms do not have.
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
    EXPECT_LT(max_diff(r.reference, similar(ref, M_PI / 2, 1)), 1e-15);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Sorry, Failure on input dialog Box"});
    // A whole start angle is offered as it is.
    EXPECT_EQ(ui.defaults, (std::vector<std::string>{"-25", "12.5", "90"}));
    answer({"20", "a lot"});
    EXPECT_NEAR(rotationhandler(ui, ref, 10).theta, M_PI / 9, 1e-15);
    EXPECT_EQ(ui.queued(), 0u);
}

double distance(const Matrix& x, Index a, Index b) {
    return std::hypot(x(2 * a) - x(2 * b), x(2 * a + 1) - x(2 * b + 1));
}

TEST(Basereg, PutsTheBaselineOnTheUnitSegmentOfTheXAxisAndNeedsTwoDistinctLandmarks) {
    Matrix x(2, 15);
    x.row(0) = irregular_reference();
    x.row(1) = similar(irregular_reference(), 2.0, 3, 0.4, -1);
    x(1, 14) = 7;
    const Matrix y = basereg(x, 3, 6);
    for (Index i = 0; i < 2; ++i) {
        EXPECT_LT(max_diff(row({y(i, 4), y(i, 5), y(i, 10), y(i, 11)}), row({0, 0, 1, 0})), 1e-15);
        EXPECT_EQ(y(i, 14), x(i, 14));
    }
    // Registration removes position, size and orientation: similar forms coincide.
    EXPECT_LT(max_diff(y.row(0).leftCols(14), y.row(1).leftCols(14)), 1e-14);
    EXPECT_NEAR(distance(y.row(0), 0, 1) / distance(y.row(0), 3, 4),
                distance(x.row(0), 0, 1) / distance(x.row(0), 3, 4), 1e-14);
    // Missing or coincident base landmarks.
    EXPECT_THROW(basereg(x, 0, 2), Error);
    EXPECT_THROW(basereg(x, 1, 8), Error);
    EXPECT_THROW(basereg(row({1, 1, 1, 1, 0, 0, 1}), 1, 2), Error);
}

TEST(Meth3sup, SlidesAlongTheBaselineToUnitSize) {
    Matrix x(1, 15);
    x.row(0) = basereg(irregular_reference(), 1, 2);
    x(0, 14) = 4;
    const Matrix y = meth3sup(x);
    EXPECT_NEAR(centpos(y)(0), 0, 1e-15);
    EXPECT_NEAR(centsize(y)(0), 1, 1e-15);
    EXPECT_NEAR(y(1), 0, 1e-15);  // the baseline stays on y = 0
    EXPECT_NEAR(y(3), 0, 1e-15);
    EXPECT_EQ(y(14), 4);
    // Only sliding and scaling: landmark 1 to 2 stays horizontal with unchanged shape.
    EXPECT_NEAR(distance(y, 0, 1) / distance(y, 2, 5), distance(x, 0, 1) / distance(x, 2, 5),
                1e-14);
}

TEST(Rftra, RecoversAScaleAndShiftUndoesARotationAndResistsOneOutlier) {
    const Matrix ref = irregular_reference();
    const Matrix data = similar(ref, 0, 2.5, 0.3, -0.7);
    const ResistantFit f = rftra(data, ref);
    // data = 2.5 ref + (0.3, -0.7), so ref = data / 2.5 - (0.12, -0.28).
    EXPECT_LT(max_diff(f.params, row({-0.12, 0.28, 0.4, 0})), 1e-14);
    EXPECT_LT(max_diff(f.fitted.leftCols(14), ref.leftCols(14)), 1e-14);
    EXPECT_EQ(f.fitted(14), data(14));
    // A rotation is undone, and one outlier resisted.
    Matrix turned = similar(ref, 0.4, 0.8, -0.2, 0.1);
    turned(6) += 5;  // landmark 4 far off
    const ResistantFit g = rftra(turned, ref);
    EXPECT_NEAR(std::hypot(g.params(2), g.params(3)), 1 / 0.8, 1e-12);
    EXPECT_NEAR(std::atan2(g.params(3), g.params(2)), -0.4, 1e-12);
    Matrix off = g.fitted - ref;
    off(6) = off(7) = 0;  // landmark 4 stays off
    EXPECT_LT(off.leftCols(14).cwiseAbs().maxCoeff(), 1e-12);
}

}  // namespace
}  // namespace tesvane::test
