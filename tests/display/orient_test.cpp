// From scores back to forms: eigsort, the uniform patterns, reversepwb, reversepwarb and
// reversepw6u, checked against hand values and against the scores they invert. Orienting forms:
// template orientation, the interactive rotation loop, baseline registration, the sliding
// baseline and the resistant fit.
#include "display/UniArbitrary.hpp"
#include "display/UniAxis.hpp"
#include "display/basereg.hpp"
#include "display/eigsort.hpp"
#include "display/meth3sup.hpp"
#include "display/reversepw6u.hpp"
#include "display/reversepwarb.hpp"
#include "display/reversepwb.hpp"
#include "display/rftra.hpp"
#include "display/rotationhandler.hpp"
#include "display/templateorient.hpp"
#include "display_test_util.hpp"
#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "geometry/getpw_arbit.hpp"
#include "geometry/gettspl.hpp"
#include "geometry/vertxy.hpp"
#include "platform/error.hpp"
#include "platform/linalg.hpp"

namespace tesvane::test {
namespace {

TEST(Eigsort, OrdersByDescendingValueAndKeepsTiesInOrder) {
    Matrix V(3, 3);
    V << 1, 2, 3, 4, 5, 6, 7, 8, 9;
    const SortedEigen s = eigsort(V, Eigen::Vector3d(1, 3, 2).asDiagonal().toDenseMatrix());
    EXPECT_EQ(s.VR, V(Eigen::all, std::vector<int>{1, 2, 0}));
    EXPECT_EQ(s.DR, Eigen::Vector3d(3, 2, 1).asDiagonal().toDenseMatrix());
    const SortedEigen tie = eigsort(V, Eigen::Vector3d(2, 5, 2).asDiagonal().toDenseMatrix());
    EXPECT_EQ(tie.VR, V(Eigen::all, std::vector<int>{1, 0, 2}));
}

TEST(UniformPatterns, HaveUnitLengthTheStatedDirectionsAndAgreeOnThePrincipalAxes) {
    // Landmarks (1, 0), (0, 2), (-1, 0), (0, -2): alpha = 2, gamma = 8.
    const Matrix ref = row({1, 0, 0, 2, -1, 0, 0, -2, 1});
    // Choice 1: (y sqrt(a/g), x sqrt(g/a)) = (y/2, 2x); before scaling the lengths are
    // 2, 1, 2, 1 -> norm sqrt(10).
    const Matrix want1 = (Matrix(4, 2) << 0, 2, 1, 0, 0, -2, -1, 0).finished() / std::sqrt(10.0);
    EXPECT_LT(max_diff(UniAxis(ref, 1), want1), 1e-15);
    const Matrix want2 = (Matrix(4, 2) << -2, 0, 0, 1, 2, 0, 0, -1).finished() / std::sqrt(10.0);
    EXPECT_LT(max_diff(UniAxis(ref, 2), want2), 1e-15);

    const Matrix b = UniArbitrary(irregular_reference());
    EXPECT_NEAR(b.row(0).norm(), 1, 1e-14);
    EXPECT_NEAR(b.row(1).norm(), 1, 1e-14);
    // Both agree when the reference is symmetric about both axes, its principal-axis angle 0.
    const Matrix sym = row({0.5, 0.1, -0.5, 0.1, 0.5, -0.1, -0.5, -0.1, 0, 0.3, 0, -0.3, 1});
    const Matrix m1 = UniAxis(sym, 1).transpose(), m2 = UniAxis(sym, 2).transpose();
    EXPECT_LT(max_diff(UniArbitrary(sym).row(0), m1.reshaped(1, m1.size())), 1e-12);
    EXPECT_LT(max_diff(UniArbitrary(sym).row(1), m2.reshaped(1, m2.size())), 1e-12);
    // A reference without spread has none.
    EXPECT_THROW(UniAxis(row({0, 1, 0, 2, 0, 3, 1}), 1), GeometryError);
    EXPECT_THROW(UniArbitrary(row({0, 1, 0, 2, 0, 3, 1})), GeometryError);
}

TEST(Reversepw, ScoresOfTheDisplacedFormAreTheScoresGiven) {
    const Matrix ref = irregular_reference();
    Matrix pw = Matrix::Zero(1, 11);
    pw(10) = 123;  // zero scores give the reference; the last score is ignored
    EXPECT_LT(max_diff(reversepwb(ref, pw), ref), 1e-15);
    EXPECT_LT(max_diff(reversepwarb(ref, pw), ref), 1e-15);
    // Measured again, signs included: a displayed deformation points the way its score says.
    pw << 0.03, -0.02, 0.01, 0.015, -0.01, 0.02, 0.005, -0.004, 0.04, -0.03, 1;
    const Matrix scores = getpw_arbit(ref, reversepwarb(ref, pw));
    EXPECT_LT(max_diff(scores.leftCols(10), pw.leftCols(10)), 1e-12);
    // reversepwb shares the warps; its uniform part is the unturned one.
    const Matrix sb = getpw_arbit(ref, reversepwb(ref, pw));
    EXPECT_LT(max_diff(sb.leftCols(8), pw.leftCols(8)), 1e-12);
    EXPECT_THROW(reversepwb(ref, Matrix::Zero(1, 10)), Error);  // wrong length
    EXPECT_THROW(reversepwarb(ref, Matrix::Zero(1, 12)), Error);
}

TEST(Reversepw6u, ZeroWeightsGiveTheReferenceAndAFittedSplineReproducesTheTarget) {
    Matrix ref = irregular_reference();
    ref(14) = 2.5;
    Matrix target = ref;
    target(14) = 1;  // the forms come out of unit size
    EXPECT_LT(max_diff(reversepw6u(ref, Matrix::Zero(10, 2)), target), 1e-15);
    target(0) += 0.05;
    target(5) -= 0.03;
    target(9) += 0.02;
    // Spline coefficients of the displacements, solved here directly.
    Matrix rhs = Matrix::Zero(10, 2);
    rhs.topRows(7) = (vertxy(target) - vertxy(ref)).transpose();
    const Matrix w = inverse(gettspl(vertxy(ref))) * rhs;
    EXPECT_LT(max_diff(reversepw6u(ref, w), target), 1e-12);
}

TEST(Templateorient, FindsTheTurnAndScaleOfATemplateAndRejectsMissingLandmarks) {
    const Matrix ref = irregular_reference();
    const double t = M_PI / 6;
    const Matrix templ = similar(ref, t, 2, 0, 0, ref(0), ref(1));
    Matrix target = ref;
    target(4) += 0.05;
    const TemplateOrientation o =
        templateorient(templ, ref, target, (Matrix(2, 2) << 1, 1, 2, 2).finished());
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

TEST_F(Rotationhandler, AnglesAddUpUntilZeroCancelOrBadTextEndsTheLoopAndTheFormIsDrawnNumbered) {
    ui.add_control("NumberButton", "", 1);
    answer({"30", "15", "0"});
    const RotationResult r = rotationhandler(ui, ref, 0);
    EXPECT_NEAR(r.theta, M_PI / 4, 1e-15);
    EXPECT_LT(max_diff(r.reference, similar(ref, M_PI / 4, 1)), 1e-14);
    EXPECT_EQ(r.reference(8), 3);
    // Offers 10 for a start angle of 0, then the last entry (checked below).
    const auto ls = lines(ui.figure().axes());  // magenta stars, one object
    ASSERT_EQ(ls.size(), 1u);
    ASSERT_EQ(ls[0]->x.size(), 4u);
    EXPECT_NEAR(ls[0]->x[0], r.reference(0), 1e-15);
    const auto ts = texts(ui.figure().axes());
    ASSERT_EQ(ts.size(), 4u);
    EXPECT_EQ(ts[3]->string, "4");
    EXPECT_NEAR(ts[3]->x, r.reference(6) + 0.02, 1e-15);
    // Cancel, a failed dialog or text that is not a number ends the loop.
    ui.queue(DialogAnswer::cancel());
    const RotationResult none = rotationhandler(ui, ref, -25);
    EXPECT_EQ(none.theta, 0);
    EXPECT_EQ(none.reference, ref);
    answer({"90"});  // no second answer queued: the dialog cannot be answered
    const RotationResult q = rotationhandler(ui, ref, 12.5);
    EXPECT_NEAR(q.theta, M_PI / 2, 1e-15);
    EXPECT_LT(max_diff(q.reference, similar(ref, M_PI / 2, 1)), 1e-15);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Sorry, Failure on input dialog Box"});
    // A whole start angle is offered as it is.
    EXPECT_EQ(ui.defaults, (std::vector<std::string>{"10", "30", "15", "-25", "12.5", "90"}));
    answer({"20", "a lot"});
    EXPECT_NEAR(rotationhandler(ui, ref, 10).theta, M_PI / 9, 1e-15);
    EXPECT_EQ(ui.queued(), 0u);
}

double distance(const Matrix& x, Index a, Index b) {
    return std::hypot(x(2 * a) - x(2 * b), x(2 * a + 1) - x(2 * b + 1));
}

TEST(Basereg, PutsTheBaselineOnTheUnitSegmentOfTheXAxisNeedsTwoLandmarksAndMeth3supSlides) {
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
    // The sliding baseline slides along it to unit size.
    Matrix b = basereg(irregular_reference(), 1, 2);
    b(0, 14) = 4;
    const Matrix m = meth3sup(b);
    EXPECT_NEAR(centpos(m)(0), 0, 1e-15);
    EXPECT_NEAR(centsize(m)(0), 1, 1e-15);
    EXPECT_NEAR(m(1), 0, 1e-15);  // the baseline stays on y = 0
    EXPECT_NEAR(m(3), 0, 1e-15);
    EXPECT_EQ(m(14), 4);
    // Only sliding and scaling: landmark 1 to 2 stays horizontal with unchanged shape.
    EXPECT_NEAR(distance(m, 0, 1) / distance(m, 2, 5), distance(b, 0, 1) / distance(b, 2, 5),
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
