#include <gtest/gtest.h>

#include <cmath>

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "geometry_test_util.hpp"

namespace tesvane {
namespace {

using test::max_diff;
using test::row;

// Triangle (0,0), (3,0), (0,3) with a size value: centroid (1, 1), squared distances 2, 5, 5.
const Matrix kTriangle = row({0, 0, 3, 0, 0, 3, 9.5});
const Matrix kTriangleNoSize = row({0, 0, 3, 0, 0, 3});

TEST(Layouts, VertxyTakesInterleavedPairsAndSkipsTheSize) {
    const Matrix v = vertxy(row({1, 2, 3, 4, 5, 6, 99}));
    Matrix expected(2, 3);
    expected << 1, 3, 5, 2, 4, 6;
    EXPECT_EQ(v, expected);
    EXPECT_EQ(vertxy(row({1, 2, 3, 4, 5, 6})), expected);
}

TEST(Layouts, XyfromvertInvertsTheTransposedVerticalLayout) {
    const Matrix r = row({1.5, -2, 3.25, 4, -5, 6e-3, 0.75});
    EXPECT_EQ(xyfromvert(vertxy(r).transpose(), r(6)), r);

    Matrix data(2, 2);
    data << 1, 2, 3, 4;
    EXPECT_EQ(xyfromvert(data, 7), row({1, 2, 3, 4, 7}));
}

TEST(Centroid, PositionIsTheLandmarkMeanWithOrWithoutSize) {
    EXPECT_EQ(centpos(kTriangle), row({1, 1}));
    EXPECT_EQ(centpos(kTriangleNoSize), row({1, 1}));
}

TEST(Centroid, SizeIsRootOfSummedSquaredDistances) {
    const Matrix s = centsize(kTriangle);
    ASSERT_EQ(s.rows(), 1);
    ASSERT_EQ(s.cols(), 1);
    EXPECT_DOUBLE_EQ(s(0), std::sqrt(12.0));
    EXPECT_EQ(centsize(kTriangleNoSize), s);
}

TEST(Centroid, SizeOfABlockIsAColumnInRowOrder) {
    Matrix block(3, 7);
    block.row(0) = kTriangle;
    block.row(1) = 2.0 * kTriangle;                // size doubles
    block.row(2) = row({-1, -1, 1, -1, 0, 2, 0});  // centred: sqrt(1+1+1+1+0+4)
    const Matrix s = centsize(block);
    ASSERT_EQ(s.rows(), 3);
    ASSERT_EQ(s.cols(), 1);
    EXPECT_DOUBLE_EQ(s(0), std::sqrt(12.0));
    EXPECT_DOUBLE_EQ(s(1), 2.0 * std::sqrt(12.0));
    EXPECT_DOUBLE_EQ(s(2), std::sqrt(8.0));
}

TEST(Centroid, SizeIgnoresTranslation) {
    Matrix moved = kTriangle;
    for (int j = 0; j < 3; ++j) {
        moved(2 * j) += 123.5;
        moved(2 * j + 1) -= 7.25;
    }
    EXPECT_NEAR(centsize(moved)(0), std::sqrt(12.0), 1e-13);
    EXPECT_LE(max_diff(centpos(moved), row({124.5, -6.25})), 1e-13);
}

}  // namespace
}  // namespace tesvane
