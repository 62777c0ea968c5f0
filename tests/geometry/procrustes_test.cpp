#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry_test_util.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

using test::max_diff;
using test::row;

// Quadrilateral (0,0), (4,0), (1,3), (0,2): centroid (1.25, 1.25), summed squared distances
// from it 17.5.
Matrix quad_normalised() {
    Matrix q = row({-1.25, -1.25, 2.75, -1.25, -0.25, 1.75, -1.25, 0.75, 0});
    q.leftCols(8) /= std::sqrt(17.5);
    return q;
}

// The quadrilateral turned by t, scaled by s and moved by (dx, dy), with size value cs.
Matrix quad_copy(double t, double s, double dx, double dy, double cs) {
    const Matrix q = row({0, 0, 4, 0, 1, 3, 0, 2});
    Matrix r(1, 9);
    for (int j = 0; j < 4; ++j) {
        const double x = q(2 * j);
        const double y = q(2 * j + 1);
        r(2 * j) = s * (std::cos(t) * x - std::sin(t) * y) + dx;
        r(2 * j + 1) = s * (std::sin(t) * x + std::cos(t) * y) + dy;
    }
    r(8) = cs;
    return r;
}

Matrix similar_copies() {
    Matrix x(3, 9);
    x.row(0) = quad_copy(0, 1, 0, 0, 10);
    x.row(1) = quad_copy(1.1, 3, 5, -2, 30);
    x.row(2) = quad_copy(-2.5, 0.2, -1, 8, 2);
    return x;
}

// A square (+-1, +-1) and a rectangle (+-2, +-1), landmarks in the same order, both centred;
// neither needs turning, so the consensus is their normalised mean.
Matrix square_and_rectangle() {
    Matrix x(2, 9);
    x.row(0) = row({-1, -1, 1, -1, 1, 1, -1, 1, 4});
    x.row(1) = row({-2, -1, 2, -1, 2, 1, -2, 1, 8});
    x.row(1).head(8).array() += 3.0;  // shifted; centring removes it
    return x;
}

void expect_unit_centred(const Matrix& x, double tol) {
    for (Index i = 0; i < x.rows(); ++i) {
        EXPECT_LE(max_diff(centpos(x.row(i)), row({0, 0})), tol) << "row " << i;
        EXPECT_NEAR(centsize(x.row(i))(0), 1.0, tol) << "row " << i;
    }
}

TEST(Consensus, SimilarCopiesConvergeInOnePassOntoTheFirstSpecimen) {
    const Matrix x = similar_copies();
    const Consensus c = getconsensus(x);
    EXPECT_EQ(c.iterations, 1);
    const Matrix expected = quad_normalised();
    EXPECT_LE(max_diff(c.reference.leftCols(8), expected.leftCols(8)), 1e-14);
    for (Index i = 0; i < 3; ++i) {
        EXPECT_LE(max_diff(c.superimposed.row(i).head(8), expected.leftCols(8)), 1e-14);
        EXPECT_EQ(c.superimposed(i, 8), x(i, 8));
    }
    // Mean of the size column over the norm of the mean coordinates, which is 1 here.
    EXPECT_NEAR(c.reference(8), 14.0, 1e-12);
}

TEST(Consensus, SquareAndRectangleGiveTheirNormalisedMean) {
    const Consensus c = getconsensus(square_and_rectangle());
    // The second pass turns nothing and leaves the reference as it was.
    EXPECT_EQ(c.iterations, 2);
    const double h = 1 / std::sqrt(8.0);
    const double p = 2 / std::sqrt(20.0);
    const double q = 1 / std::sqrt(20.0);
    const double a = (h + p) / 2;
    const double b = (h + q) / 2;
    const double norm = 2 * std::sqrt(a * a + b * b);
    const Matrix expected = row({-a, -b, a, -b, a, b, -a, b, 6}) / norm;
    EXPECT_LE(max_diff(c.reference, expected), 1e-15);
    EXPECT_NEAR(centsize(c.reference)(0), 1.0, 1e-15);
    EXPECT_EQ(c.superimposed(0, 8), 4);
    EXPECT_EQ(c.superimposed(1, 8), 8);
}

TEST(Consensus, OneSpecimenIsItsOwnConsensus) {
    const Consensus c = getconsensus(quad_copy(0.4, 2, 1, 1, 5));
    EXPECT_EQ(c.iterations, 1);
    const Matrix expected = quad_normalised();
    const Matrix turned = getpsup(quad_copy(0.4, 2, 1, 1, 5), expected);
    EXPECT_LE(max_diff(c.reference.leftCols(8), c.superimposed.leftCols(8)), 1e-15);
    EXPECT_NEAR(c.reference(8), 5, 1e-14);
    // Centred and scaled but not turned: it keeps its own orientation.
    expect_unit_centred(c.superimposed, 1e-15);
    EXPECT_GT(max_diff(c.reference.leftCols(8), expected.leftCols(8)), 0.1);
    EXPECT_LE(max_diff(turned.leftCols(8), expected.leftCols(8)), 1e-14);
}

TEST(Consensus, SuperimposedBlockIsCentredAtUnitSize) {
    const Matrix x = test::random_block(9, 25, 7u);
    const Consensus c = getconsensus(x);
    EXPECT_GT(c.iterations, 1);
    expect_unit_centred(c.superimposed, 1e-14);
    EXPECT_LE(max_diff(c.superimposed.col(18), x.col(18)), 0.0);
    EXPECT_LE(max_diff(centpos(c.reference), row({0, 0})), 1e-15);
    EXPECT_NEAR(c.reference.leftCols(18).norm(), 1.0, 1e-15);
    // Last reference value: mean size over the norm of the coordinate mean.
    const Matrix mean = c.superimposed.colwise().mean();
    EXPECT_NEAR(c.reference(18), mean(18) / mean.leftCols(18).norm(), 1e-12);
    // The reference is the normalised mean of the block as returned.
    EXPECT_LE(max_diff(mean / mean.leftCols(18).norm(), c.reference), 1e-14);
}

TEST(Consensus, SuperimposeOntoConsensusMatchesTheConsensusBlock) {
    const Matrix x = test::random_block(6, 30, 11u, 0.1);
    const Consensus c = getconsensus(x);
    const Matrix y = getpsup(x, c.reference);
    EXPECT_LE(max_diff(y, c.superimposed), std::sqrt(kConsensusTolerance));
    EXPECT_LE(max_diff(y.col(12), x.col(12)), 0.0);
}

TEST(Superimpose, TurnsEachSpecimenToBestFitTheReference) {
    const Matrix x = test::random_block(7, 10, 3u, 0.2);
    const Matrix ref = getconsensus(x).reference;
    const Matrix y = getpsup(x, ref);
    expect_unit_centred(y, 1e-14);
    for (Index i = 0; i < y.rows(); ++i) {
        // At the best turn the cross term vanishes and the inner product is positive.
        double ct = 0;
        double st = 0;
        for (int j = 0; j < 7; ++j) {
            ct += ref(2 * j) * y(i, 2 * j) + ref(2 * j + 1) * y(i, 2 * j + 1);
            st += y(i, 2 * j) * ref(2 * j + 1) - y(i, 2 * j + 1) * ref(2 * j);
        }
        EXPECT_GT(ct, 0.5);
        EXPECT_NEAR(st, 0.0, 1e-15);
    }
}

TEST(Superimpose, ReferenceIsUsedAsGiven) {
    const Matrix x = test::random_block(5, 6, 5u, 0.2);
    const Matrix ref = getconsensus(x).reference;
    // Scale does not change the best turn.
    EXPECT_LE(max_diff(getpsup(x, 3.0 * ref), getpsup(x, ref)), 1e-14);
    // A turned reference gives specimens turned the same way.
    const double t = 0.7;
    Matrix turned_ref = ref;
    for (int j = 0; j < 5; ++j) {
        turned_ref(2 * j) = std::cos(t) * ref(2 * j) - std::sin(t) * ref(2 * j + 1);
        turned_ref(2 * j + 1) = std::sin(t) * ref(2 * j) + std::cos(t) * ref(2 * j + 1);
    }
    const Matrix a = getpsup(x, ref);
    const Matrix b = getpsup(x, turned_ref);
    for (Index i = 0; i < x.rows(); ++i) {
        for (int j = 0; j < 5; ++j) {
            EXPECT_NEAR(b(i, 2 * j), std::cos(t) * a(i, 2 * j) - std::sin(t) * a(i, 2 * j + 1),
                        1e-14);
            EXPECT_NEAR(b(i, 2 * j + 1), std::sin(t) * a(i, 2 * j) + std::cos(t) * a(i, 2 * j + 1),
                        1e-14);
        }
    }
    // Only the first c-1 values of the reference are read.
    EXPECT_EQ(getpsup(x, ref.leftCols(10)), a);
}

// Runs f and returns the GeometryError it throws.
template <class F>
GeometryError geometry_error(F f) {
    try {
        f();
    } catch (const GeometryError& e) {
        return e;
    }
    ADD_FAILURE() << "no GeometryError thrown";
    return GeometryError(-1, "");
}

TEST(ProcrustesErrors, CoincidentLandmarksNameTheSpecimen) {
    Matrix x = similar_copies();
    x.row(2).head(8) = row({2, 3, 2, 3, 2, 3, 2, 3});
    for (auto run : {+[](const Matrix& m) { getconsensus(m); },
                     +[](const Matrix& m) { getpsup(m, quad_normalised()); }}) {
        const GeometryError e = geometry_error([&] { run(x); });
        EXPECT_EQ(e.specimen(), 3);
        EXPECT_EQ(std::string(e.what()), "specimen 3: centroid size is 0 (all landmarks coincide)");
    }
}

TEST(ProcrustesErrors, NonFiniteCoordinatesNameTheSpecimen) {
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL}) {
        Matrix x = similar_copies();
        x(1, 5) = bad;
        const GeometryError e = geometry_error([&] { getconsensus(x); });
        EXPECT_EQ(e.specimen(), 2);
        EXPECT_NE(std::string(e.what()).find("not a finite number"), std::string::npos);
    }
    // A non-finite size value is only carried along.
    Matrix x = similar_copies();
    x(0, 8) = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(getconsensus(x).iterations, 1);
}

TEST(ProcrustesErrors, OverflowingSizeIsRejected) {
    Matrix x = similar_copies();
    x.row(1).head(8) *= 1e300;
    EXPECT_EQ(geometry_error([&] { getconsensus(x); }).specimen(), 2);
}

TEST(ProcrustesErrors, EmptyBlockAndShortReference) {
    EXPECT_EQ(geometry_error([] { getconsensus(Matrix(0, 9)); }).specimen(), 0);
    const GeometryError e = geometry_error([] { getpsup(similar_copies(), row({1, 2, 3})); });
    EXPECT_EQ(e.specimen(), 0);
    EXPECT_NE(std::string(e.what()).find("reference"), std::string::npos);
}

TEST(ProcrustesErrors, PassLimitReportsNonConvergence) {
    const Matrix x = square_and_rectangle();
    const GeometryError e = geometry_error([&] { detail::getconsensus_capped(x, 1); });
    EXPECT_EQ(e.specimen(), 0);
    EXPECT_EQ(std::string(e.what()),
              "Procrustes superimposition did not converge after 1 iterations");
    // A limit that is reached exactly still returns the unchanged result.
    const Consensus capped = detail::getconsensus_capped(x, 2);
    const Consensus full = getconsensus(x);
    EXPECT_EQ(capped.reference, full.reference);
    EXPECT_EQ(capped.superimposed, full.superimposed);
    EXPECT_EQ(kMaxConsensusPasses, 10000);
}

}  // namespace
}  // namespace tesvane
