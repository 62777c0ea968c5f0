#include <gtest/gtest.h>

#include <cmath>

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "geometry_test_util.hpp"

namespace tesvane {
namespace {

using test::row;

TEST(Layouts, VerticalLayoutAndBack) {
    Matrix expected(2, 3);
    expected << 1, 3, 5, 2, 4, 6;
    EXPECT_EQ(vertxy(row({1, 2, 3, 4, 5, 6, 99})), expected);
    EXPECT_EQ(vertxy(row({1, 2, 3, 4, 5, 6})), expected);
    const Matrix r = row({1.5, -2, 3.25, 4, -5, 6e-3, 0.75});
    EXPECT_EQ(xyfromvert(vertxy(r).transpose(), r(6)), r);
}

TEST(Centroid, TriangleWorkedByHand) {
    // (0,0), (3,0), (0,3): centroid (1, 1), squared distances 2 + 5 + 5; the size value and
    // a shift do not matter.
    for (const Matrix& t : {row({0, 0, 3, 0, 0, 3, 9.5}), row({0, 0, 3, 0, 0, 3})}) {
        EXPECT_EQ(centpos(t), row({1, 1}));
        EXPECT_DOUBLE_EQ(centsize(t)(0), std::sqrt(12.0));
    }
    EXPECT_NEAR(centsize(row({100, -7, 103, -7, 100, -4, 1}))(0), std::sqrt(12.0), 1e-13);
}

TEST(Centroid, SizesOfABlockFormAColumn) {
    Matrix block(3, 7);
    block << 0, 0, 3, 0, 0, 3, 1,  //
        0, 0, 6, 0, 0, 6, 1,       //
        -1, -1, 1, -1, 0, 2, 0;    // centred: root of the summed squares
    const Matrix s = centsize(block);
    ASSERT_EQ(s.rows(), 3);
    ASSERT_EQ(s.cols(), 1);
    EXPECT_DOUBLE_EQ(s(0), std::sqrt(12.0));
    EXPECT_DOUBLE_EQ(s(1), 2 * std::sqrt(12.0));
    EXPECT_DOUBLE_EQ(s(2), std::sqrt(8.0));
}

}  // namespace
}  // namespace tesvane
