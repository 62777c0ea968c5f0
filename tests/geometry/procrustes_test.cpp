// Layouts, centroid measures and the Procrustes superimposition, worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/vertxy.hpp"
#include "geometry/xyfromvert.hpp"
#include "geometry_test_util.hpp"

namespace tesvane {
namespace {

using test::geometry_error;
using test::max_diff;
using test::row;

TEST(Layouts, VerticalLayoutAndBack) {
    const Matrix expected = (Matrix(2, 3) << 1, 3, 5, 2, 4, 6).finished();
    EXPECT_EQ(vertxy(row({1, 2, 3, 4, 5, 6, 99})), expected);
    EXPECT_EQ(vertxy(row({1, 2, 3, 4, 5, 6})), expected);
    const Matrix r = row({1.5, -2, 3.25, 4, -5, 6e-3, 0.75});
    EXPECT_EQ(xyfromvert(vertxy(r).transpose(), r(6)), r);
}

TEST(Centroid, TrianglesWorkedByHand) {
    // (0,0), (3,0), (0,3): centroid (1, 1), squared distances 2 + 5 + 5; the size value and
    // a shift do not matter.
    for (const Matrix& t : {row({0, 0, 3, 0, 0, 3, 9.5}), row({0, 0, 3, 0, 0, 3})}) {
        EXPECT_EQ(centpos(t), row({1, 1}));
        EXPECT_DOUBLE_EQ(centsize(t)(0), std::sqrt(12.0));
    }
    EXPECT_NEAR(centsize(row({100, -7, 103, -7, 100, -4, 1}))(0), std::sqrt(12.0), 1e-13);
    Matrix block(2, 7);  // the sizes of a block form a column
    block << 0, 0, 6, 0, 0, 6, 1, -1, -1, 1, -1, 0, 2, 0;
    EXPECT_LE(test::max_diff(centsize(block),
                             Matrix(row({2 * std::sqrt(12.0), std::sqrt(8.0)}).transpose())),
              1e-15);
}

// Quadrilateral (0,0), (4,0), (1,3), (0,2): centroid (1.25, 1.25), summed squared distances
// from it 17.5.
const Matrix kQuad = row({0, 0, 4, 0, 1, 3, 0, 2, 0});
Matrix quad_normalised() {
    Matrix q = row({-1.25, -1.25, 2.75, -1.25, -0.25, 1.75, -1.25, 0.75, 0});
    q.leftCols(8) /= std::sqrt(17.5);
    return q;
}

// Turned, scaled and shifted copies of the quadrilateral, sizes 10, 30, 2.
Matrix similar_copies() {
    Matrix x(3, 9);  // the third more than a quarter turn away
    x << kQuad, 3 * test::similar(kQuad, 1.1, 1), 0.2 * test::similar(kQuad, -2.5, 1);
    x.row(1).head(8) += row({5, -2, 5, -2, 5, -2, 5, -2});
    x.col(8) << 10, 30, 2;
    return x;
}

// A square (+-1, +-1) and a shifted rectangle (+-2, +-1), landmarks in the same order.
Matrix square_and_rectangle() {
    return (Matrix(2, 9) << row({-1, -1, 1, -1, 1, 1, -1, 1, 4}), row({1, 2, 5, 2, 5, 4, 1, 4, 8}))
        .finished();
}

TEST(Consensus, SimilarCopiesConvergeInOnePassOntoTheFirstSpecimen) {
    const Matrix x = similar_copies();
    const Consensus c = getconsensus(x);
    EXPECT_EQ(c.iterations, 1);
    const Matrix expected = quad_normalised();
    EXPECT_LE(max_diff(c.reference.leftCols(8), expected.leftCols(8)), 1e-14);
    for (Index i = 0; i < 3; ++i)
        EXPECT_LE(max_diff(c.superimposed.row(i).head(8), expected.leftCols(8)), 1e-14);
    EXPECT_EQ(c.superimposed.col(8), x.col(8));
    EXPECT_NEAR(c.reference(8), 14.0, 1e-12);  // mean size over a norm of 1
}

TEST(Consensus, SquareAndRectangleGiveTheirNormalisedMean) {
    // Neither needs turning, so the mean of the two unit forms, normalised, is the consensus,
    // and the second pass changes nothing.
    const Consensus c = getconsensus(square_and_rectangle());
    EXPECT_EQ(c.iterations, 2);
    const double a = (1 / std::sqrt(8.0) + 2 / std::sqrt(20.0)) / 2;
    const double b = (1 / std::sqrt(8.0) + 1 / std::sqrt(20.0)) / 2;
    const double norm = 2 * std::sqrt(a * a + b * b);
    EXPECT_LE(max_diff(c.reference, row({-a, -b, a, -b, a, b, -a, b, 6}) / norm), 1e-15);
}

TEST(Consensus, OneSpecimenIsItsOwnConsensusInItsOwnOrientation) {
    const Matrix x = 2 * test::similar(kQuad, 0.4, 1) + row({1, 1, 1, 1, 1, 1, 1, 1, 5});
    const Consensus c = getconsensus(x);
    EXPECT_EQ(c.iterations, 1);
    EXPECT_LE(max_diff(c.reference.leftCols(8), c.superimposed.leftCols(8)), 1e-15);
    EXPECT_LE(max_diff(c.reference,
                       test::similar(quad_normalised(), 0.4, 1) + row({0, 0, 0, 0, 0, 0, 0, 0, 5})),
              1e-14);
}

TEST(Superimpose, ReferenceIsUsedAsGiven) {
    const Matrix x = test::random_block(5, 6, 5u, 0.2);
    const Matrix ref = getconsensus(x).reference;
    const Matrix y = getpsup(x, ref);
    EXPECT_LE(max_diff(getpsup(x, 3.0 * ref), y), 1e-14);     // scale does not change the turn
    EXPECT_EQ(getpsup(x, ref.leftCols(10)), y);               // the size value is not read
    const Matrix z = getpsup(x, test::similar(ref, 0.7, 1));  // a turned reference turns them
    for (Index i = 0; i < x.rows(); ++i)
        EXPECT_LE(max_diff(z.row(i), test::similar(y.row(i), 0.7, 1)), 1e-14);
}

TEST(ProcrustesErrors, UnscalableSpecimensAreNamed) {
    Matrix x = similar_copies();
    x.row(2).head(8) = row({2, 3, 2, 3, 2, 3, 2, 3});
    for (const GeometryError& e : {geometry_error([&] { getconsensus(x); }),
                                   geometry_error([&] { getpsup(x, quad_normalised()); })}) {
        EXPECT_EQ(e.specimen(), 3);
        EXPECT_EQ(std::string(e.what()), "specimen 3: centroid size is 0 (all landmarks coincide)");
    }
    for (double bad : {std::nan(""), HUGE_VAL, 1e300}) {
        x = similar_copies();
        x(1, 5) = bad;
        x(1, 3) = bad;  // 1e300 twice: the size overflows
        EXPECT_EQ(geometry_error([&] { getconsensus(x); }).specimen(), 2) << bad;
    }
    x = similar_copies();
    x(0, 8) = NAN;  // a size value is only carried along
    EXPECT_EQ(getconsensus(x).iterations, 1);
}

TEST(ProcrustesErrors, EmptyBlockShortReferenceAndPassLimit) {
    EXPECT_EQ(geometry_error([] { getconsensus(Matrix(0, 9)); }).specimen(), 0);
    EXPECT_EQ(geometry_error([] { getpsup(similar_copies(), row({1, 2, 3})); }).specimen(), 0);
    const Matrix x = square_and_rectangle();
    EXPECT_EQ(std::string(geometry_error([&] { detail::getconsensus_capped(x, 1); }).what()),
              "Procrustes superimposition did not converge after 1 iterations");
    // A limit that is reached exactly leaves the result as it is.
    EXPECT_EQ(detail::getconsensus_capped(x, 2).reference, getconsensus(x).reference);
}

}  // namespace
}  // namespace tesvane
