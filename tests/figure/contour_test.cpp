#include "platform/figure/contour.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>

#include "platform/error.hpp"
#include "platform/figure/colormap.hpp"

namespace tesvane::fig {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Node coordinates of a rectilinear grid: x = column, y = row, times the given spacing.
struct Grid {
    Grid(Index rows, Index cols, double dx = 1, double dy = 1)
        : X(RowVector::LinSpaced(cols, 0, dx * static_cast<double>(cols - 1)).replicate(rows, 1)),
          Y(ColVector::LinSpaced(rows, 0, dy * static_cast<double>(rows - 1)).replicate(1, cols)) {}
    Matrix X, Y;
};

// Shoelace area of a closed polygon given by its corners.
template <typename Pts>
double shoelace(const Pts& p) {
    double a = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i)
        a += p[i][0] * p[(i + 1) % n][1] - p[(i + 1) % n][0] * p[i][1];
    return a / 2;
}

// Signed area of the rings of band k, or of all bands: holes run the other way and subtract.
double area(const std::vector<ContourBand>& bands, std::size_t k = std::size_t(-1)) {
    double sum = 0;
    for (std::size_t i = 0; i < bands.size(); ++i)
        for (const auto& ring : bands[i].rings)
            sum += (k == std::size_t(-1) || k == i) ? shoelace(ring) : 0;
    return sum;
}

TEST(Isobands, LinearRampGivesStraightBandsOfExactArea) {
    const Grid g(5, 7);  // 6 wide, 4 high
    const std::vector<double> levels{0, 0.7, 2.5, 2.6, 4.25, 6};
    const auto bands = isobands(g.X, g.Y, g.X, levels);
    ASSERT_EQ(bands.size(), 5u);
    for (std::size_t k = 0; k < bands.size(); ++k) {
        SCOPED_TRACE(k);
        const double lo = levels[k], hi = levels[k + 1];
        EXPECT_EQ(std::tie(bands[k].lower, bands[k].upper), std::tie(lo, hi));
        ASSERT_EQ(bands[k].rings.size(), 1u);
        EXPECT_NEAR(area(bands, k), (hi - lo) * 4, 1e-12);
        // Off the top and bottom edges every vertex lies on one of the band's two levels.
        for (const auto& [x, y] : bands[k].rings[0])
            EXPECT_TRUE(std::abs(x - lo) < 1e-12 || std::abs(x - hi) < 1e-12 || y == 0 || y == 4)
                << "vertex (" << x << ", " << y << ")";
    }
}

TEST(Isobands, NodesExactlyOnLevelsStillTileTheGrid) {
    const Grid g(3, 5);
    // Every node on a level.
    const auto bands = isobands(g.X, g.Y, g.X + g.Y, {0, 1, 2, 3, 4, 5, 6});
    EXPECT_NEAR(area(bands), 8, 1e-12);
    // z = x + y between k and k+1 over [0,4] x [0,2]: the areas of the diagonal strips.
    const double expected[6] = {0.5, 1.5, 2, 2, 1.5, 0.5};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(area(bands, k), expected[k], 1e-12) << "band " << k;
}

TEST(Isobands, DeformedGridWithRandomFieldIsCoveredOnceByTheBands) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3), value(-2, 3);
    Grid g(9, 12);
    Matrix Z(9, 12);
    for (Index i = 0; i < Z.size(); ++i) {
        g.X(i) += jitter(rng);
        g.Y(i) += jitter(rng) + 0.2 * g.X(i);  // sheared as well as jittered
        Z(i) = value(rng);                     // many saddles
    }
    auto pt = [&g](Index r, Index c) { return std::array{g.X(r, c), g.Y(r, c)}; };
    double cells = 0;  // the area the quadrilateral cells cover
    for (Index r = 0; r + 1 < Z.rows(); ++r)
        for (Index c = 0; c + 1 < Z.cols(); ++c)
            cells += shoelace(std::array{pt(r, c), pt(r, c + 1), pt(r + 1, c + 1), pt(r + 1, c)});
    const auto bands = isobands(g.X, g.Y, Z, contour_levels(Z.minCoeff(), Z.maxCoeff()));
    EXPECT_NEAR(area(bands), cells, 1e-9);
    for (std::size_t k = 0; k < bands.size(); ++k)
        EXPECT_GE(area(bands, k), -1e-12);
}

// One cell with the high values on one diagonal: the corner mean decides whether the high
// corners join across the middle.
TEST(Isobands, SaddleCellFollowsTheMeanOfItsCorners) {
    const Grid g(2, 2);
    Matrix Z(2, 2);
    // Centre mean exactly on the level: not above it, so the low corners join and the high
    // ones are two triangles.
    Z << 1, 0, 0, 1;
    auto bands = isobands(g.X, g.Y, Z, {0, 0.5, 1});
    EXPECT_EQ(bands[1].rings.size(), 2u);
    EXPECT_NEAR(area(bands, 1), 0.25, 1e-12);
    EXPECT_EQ(bands[0].rings.size(), 1u);

    Z << 1, 0, 0.2, 1;  // mean 0.55: the high corners join, the low ones are cut off
    bands = isobands(g.X, g.Y, Z, {0, 0.5, 1});
    EXPECT_EQ(bands[1].rings.size(), 1u);
    EXPECT_EQ(bands[0].rings.size(), 2u);
    // Low triangles at (1,0) (legs 0.5) and at (0,1) (legs 0.375, from 0.2 up to 0.5 of 1).
    EXPECT_NEAR(area(bands, 0), 0.125 + 0.5 * 0.375 * 0.375, 1e-12);
    EXPECT_NEAR(area(bands), 1, 1e-12);
}

TEST(Isobands, PeakLeavesAHoleInTheBandAroundIt) {
    const Grid g(5, 5);
    Matrix Z = Matrix::Zero(5, 5);
    Z(2, 2) = 1;
    const auto bands = isobands(g.X, g.Y, Z, {0, 0.5, 1});
    // The top band is the diamond through the edge midpoints around the peak.
    ASSERT_EQ(bands[1].rings.size(), 1u);
    EXPECT_EQ(bands[1].rings[0].size(), 4u);
    EXPECT_NEAR(area(bands, 1), 0.5, 1e-12);
    // The cells are joined: one outer ring and the hole, not one polygon per cell.
    EXPECT_EQ(bands[0].rings.size(), 2u);
    EXPECT_NEAR(area(bands, 0), 16 - 0.5, 1e-12);
}

TEST(Isobands, CellsWithNonFiniteCornersAndValuesOutsideTheLevelsAreUnfilled) {
    Grid g(3, 3);
    Matrix Z = g.X;
    Z(0, 0) = kNaN;
    EXPECT_NEAR(area(isobands(g.X, g.Y, Z, {0, 1, 2})), 3, 1e-12);
    Z(0, 0) = 0;
    g.X(2, 2) = INFINITY;
    EXPECT_NEAR(area(isobands(g.X, g.Y, Z, {0, 1, 2})), 3, 1e-12);
    g.X(2, 2) = 2;
    // Only z in [0.5, 1.5] is covered: half of the 2 x 2 grid.
    EXPECT_NEAR(area(isobands(g.X, g.Y, Z, {0.5, 1.5})), 2, 1e-12);
}

TEST(ContourLevels, AboutNineNiceBandsEnclosingTheData) {
    const std::array<double, 5> cases[] = {
        // lowest and highest value; number, first and last of the levels
        {0, 1, 11, 0, 1},        {0.0123, 0.37, 9, 0, 0.4},  // steps of 0.05
        {-3, 7, 11, -3, 7},  // already on whole numbers: no extra band
        {0, 0, 2, -1, 1},    // constant data
        {500, 500, 2, 495, 505},
    };
    for (const auto& [lo, hi, n, first, last] : cases) {
        const auto l = contour_levels(lo, hi);
        ASSERT_EQ(static_cast<double>(l.size()), n) << lo;
        for (std::size_t i = 0; i < l.size(); ++i)
            EXPECT_NEAR(l[i], first + (last - first) * static_cast<double>(i) / (n - 1), 1e-12);
    }
    // At any magnitude: 7 to 13 levels, the outer ones less than a step beyond the data.
    for (double hi : {1e-4, 0.023, 0.6, 3.7, 42.0, 1234.5}) {
        const auto l = contour_levels(-0.31 * hi, hi);
        const double step = l[1] - l[0], below = -0.31 * hi - l.front(), above = l.back() - hi;
        EXPECT_TRUE(l.size() >= 7 && l.size() <= 13 && below >= 0 && below < step && above >= 0 &&
                    above < step)
            << hi;
    }
    for (const auto& [lo, hi] : {std::pair{1.0, 0.0}, {kNaN, 1.0}, {0.0, INFINITY}})
        EXPECT_THROW(contour_levels(lo, hi), Error) << lo << " " << hi;
}

TEST(Contourf, DrawsColouredBandsOnTheDataLevels) {
    const Grid g(4, 6, 0.5, 0.25);
    const Matrix Z = g.X.cwiseProduct(g.Y);
    Axes axes;
    FilledContour& c = contourf(axes, g.X, g.Y, Z);
    EXPECT_TRUE(c.show_colorbar);
    EXPECT_EQ(c.levels, contour_levels(0, 2.5 * 0.75));
    ASSERT_EQ(c.bands.size(), c.levels.size() - 1);
    const auto colours = default_colormap(c.bands.size());
    for (std::size_t i = 0; i < c.bands.size(); ++i)
        EXPECT_EQ(c.bands[i].color, colours[i]);
    EXPECT_NEAR(area(c.bands), 2.5 * 0.75, 1e-12);
    EXPECT_EQ(contourf(axes, g.X, g.Y, Z, {0, 1, 2}).levels, (std::vector<double>{0, 1, 2}));
}

// contourf hands its levels and grids to isobands, whose checks it reports.
TEST(Contourf, BadGridsOrLevelsAreErrorsThatLeaveTheAxesAlone) {
    const Grid g(3, 4);
    Axes axes;
    axes.plot({0, 1}, {0, 1}, "k-");
    EXPECT_THROW(contourf(axes, g.X, g.Y, Matrix::Constant(3, 4, kNaN)), Error);
    EXPECT_THROW(contourf(axes, g.X, g.Y, Matrix::Zero(4, 3)), Error);
    EXPECT_THROW(contourf(axes, g.X.topRows(1), g.Y.topRows(1), g.X.topRows(1)), Error);
    for (const std::vector<double>& bad : {std::vector<double>{1}, {1, 0}, {0, 1, 1}, {0, kNaN}})
        EXPECT_THROW(contourf(axes, g.X, g.Y, g.X, bad), Error);
    EXPECT_TRUE(axes.children().size() == 1 && axes.children()[0]->type() == "line");
}

}  // namespace
}  // namespace tesvane::fig
