// Baseline registration, sliding baseline and the resistant fit.
#include <gtest/gtest.h>

#include <cmath>

#include "display/basereg.hpp"
#include "display/meth3sup.hpp"
#include "display/rftra.hpp"
#include "display_test_util.hpp"
#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

double distance(const Matrix& x, Index a, Index b) {
    return std::hypot(x(2 * a) - x(2 * b), x(2 * a + 1) - x(2 * b + 1));
}

TEST(Basereg, PutsTheBaselineOnTheUnitSegmentOfTheXAxis) {
    Matrix x(2, 15);
    x.row(0) = irregular_reference();
    x.row(1) = similar(irregular_reference(), 2.0, 3, 0.4, -1);
    x(1, 14) = 7;
    const Matrix y = basereg(x, 3, 6);
    for (Index i = 0; i < 2; ++i) {
        EXPECT_NEAR(y(i, 4), 0, 1e-15);
        EXPECT_NEAR(y(i, 5), 0, 1e-15);
        EXPECT_NEAR(y(i, 10), 1, 1e-15);
        EXPECT_NEAR(y(i, 11), 0, 1e-15);
        EXPECT_EQ(y(i, 14), x(i, 14));
    }
    // Registration removes position, size and orientation: similar forms coincide.
    EXPECT_LT(max_diff(y.row(0).leftCols(14), y.row(1).leftCols(14)), 1e-14);
    EXPECT_NEAR(distance(y.row(0), 0, 1) / distance(y.row(0), 3, 4),
                distance(x.row(0), 0, 1) / distance(x.row(0), 3, 4), 1e-14);
}

TEST(Basereg, RejectsMissingOrCoincidentBaseLandmarks) {
    const Matrix x = irregular_reference();
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

TEST(Rftra, RecoversAScaleAndShift) {
    const Matrix ref = irregular_reference();
    const Matrix data = similar(ref, 0, 2.5, 0.3, -0.7);
    const ResistantFit f = rftra(data, ref);
    // data = 2.5 ref + (0.3, -0.7), so ref = data / 2.5 - (0.12, -0.28).
    EXPECT_NEAR(f.params(2), 0.4, 1e-14);
    EXPECT_NEAR(f.params(3), 0, 1e-14);
    EXPECT_NEAR(f.params(0), -0.12, 1e-14);
    EXPECT_NEAR(f.params(1), 0.28, 1e-14);
    EXPECT_LT(max_diff(f.fitted.leftCols(14), ref.leftCols(14)), 1e-14);
    EXPECT_EQ(f.fitted(14), data(14));
}

TEST(Rftra, UndoesARotationAndResistsOneOutlier) {
    const Matrix ref = irregular_reference();
    Matrix data = similar(ref, 0.4, 0.8, -0.2, 0.1);
    data(6) += 5;  // landmark 4 far off
    const ResistantFit f = rftra(data, ref);
    EXPECT_NEAR(std::hypot(f.params(2), f.params(3)), 1 / 0.8, 1e-12);
    EXPECT_NEAR(std::atan2(f.params(3), f.params(2)), -0.4, 1e-12);
    Matrix off = f.fitted - ref;
    off(6) = off(7) = 0;  // landmark 4 stays off
    EXPECT_LT(off.leftCols(14).cwiseAbs().maxCoeff(), 1e-12);
}

}  // namespace
}  // namespace tesvane::test
