// The arrow field: automatic scale, the shaft and head objects, hold.
#include <gtest/gtest.h>

#include <cmath>

#include "display/aheadw.hpp"
#include "display/quiver.hpp"
#include "display_test_util.hpp"
#include "platform/error.hpp"

namespace tesvane::test {
namespace {

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
    const QuiverHandles h = quiver(axes, g.x, g.y, u, v);
    const auto ls = lines(axes);
    ASSERT_EQ(ls.size(), 2u);
    EXPECT_EQ(ls[1]->handle(), h.heads);
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
    EXPECT_NEAR(ls[1]->x[hd + 1], tipx, 1e-14);
    EXPECT_NEAR(ls[1]->y[hd + 1], tipy, 1e-14);
    EXPECT_NEAR(ls[1]->x[hd], tipx - 0.33 * (0.9 + 0.33 * 0.9), 1e-12);
    EXPECT_NEAR(ls[1]->y[hd], tipy - 0.33 * (0.9 - 0.33 * 0.9), 1e-12);
    EXPECT_NEAR(ls[1]->x[hd + 2], tipx - 0.33 * (0.9 - 0.33 * 0.9), 1e-12);
    EXPECT_NEAR(ls[1]->y[hd + 2], tipy - 0.33 * (0.9 + 0.33 * 0.9), 1e-12);
    EXPECT_TRUE(std::isnan(ls[1]->y[hd + 3]));
}

TEST(Quiver, ZeroVectorsShrinkToTheirNodes) {
    const Grid g;
    fig::Axes axes;
    quiver(axes, g.x, g.y, Matrix::Zero(3, 4), Matrix::Zero(3, 4));
    const auto ls = lines(axes);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(ls[0]->x[3 * i], ls[0]->x[3 * i + 1]);
        for (size_t p = 0; p < 3; ++p) {
            EXPECT_NEAR(ls[1]->x[4 * i + p], g.x(static_cast<Index>(i)), 1e-15);
            EXPECT_NEAR(ls[1]->y[4 * i + p], g.y(static_cast<Index>(i)), 1e-15);
        }
    }
}

TEST(Quiver, RespectsHoldAndRejectsMatricesOfDifferentSizes) {
    const Grid g;
    fig::Axes axes;
    EXPECT_THROW(quiver(axes, g.x, g.y, Matrix::Zero(4, 3), Matrix::Zero(3, 4)), Error);
    EXPECT_TRUE(axes.children().empty());
    axes.plot({0}, {0}, "ko");
    quiver(axes, g.x, g.y, g.x, g.y);
    EXPECT_EQ(lines(axes).size(), 2u);  // the field replaced the marker
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
    for (const fig::Line* l : ls) {
        EXPECT_EQ(l->x[0], 0);
        EXPECT_EQ(l->y[0], 2);
        EXPECT_NEAR(l->y[1], 2 - 0.5 * std::cos(M_PI / 9), 1e-15);
    }
    EXPECT_NEAR(ls[0]->x[1], 0.5 * std::sin(M_PI / 9), 1e-15);
    EXPECT_NEAR(ls[1]->x[1], -0.5 * std::sin(M_PI / 9), 1e-15);
}

}  // namespace
}  // namespace tesvane::test
