// The geometry on the published landmark datasets, checked against facts derived here
// independently of the code under test.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/centpos.hpp"
#include "geometry/centsize.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "geometry_test_util.hpp"
#include "io/dload.hpp"
#include "test_paths.hpp"

namespace tesvane {
namespace {

using test::max_diff;

struct Sample {
    const char* dataset;
    const char* file;
    int landmarks;
};

class RealData : public ::testing::TestWithParam<Sample> {
  protected:
    void SetUp() override {
        const auto dir = test::dataset(GetParam().dataset);
        if (dir.empty())
            GTEST_SKIP() << "dataset not available";
        x = dload((dir / GetParam().file).string());
        k = GetParam().landmarks;
        ASSERT_EQ(x.cols(), 2 * k + 1);
        c = getconsensus(x);
        y = getpsup(x, c.reference);
    }
    Matrix x, y;
    int k = 0;
    Consensus c{};
};

TEST_P(RealData, SuperimposedSpecimensAreBestTurnedAtUnitSize) {
    EXPECT_LT(c.iterations, 100);
    EXPECT_NEAR(centsize(c.reference)(0), 1.0, 1e-14);
    const Matrix m = c.reference.leftCols(2 * k).reshaped(2, k);
    for (Index i = 0; i < x.rows(); ++i) {
        EXPECT_NEAR(centsize(y.row(i))(0), 1.0, 1e-14);
        EXPECT_LE(max_diff(centpos(y.row(i)), Matrix::Zero(1, 2)), 1e-14);
        EXPECT_EQ(y(i, 2 * k), x(i, 2 * k));
        // Best turned: the complex inner product with the consensus is real and positive.
        const Matrix a = y.row(i).head(2 * k).reshaped(2, k);
        EXPECT_GT(a.cwiseProduct(m).sum(), 0.5);
        EXPECT_NEAR((a.row(0).cwiseProduct(m.row(1)) - a.row(1).cwiseProduct(m.row(0))).sum(), 0.0,
                    1e-15)
            << "specimen " << i;
    }
    EXPECT_LE(max_diff(y, c.superimposed), std::sqrt(kConsensusTolerance));
}

TEST_P(RealData, ScoresSplitTheShapeDifferenceExactly) {
    // x - xref is the sum of its projections on the 2k-4 orthonormal score directions and on
    // xref itself, so |x - xref|^2 = sum of squared scores + (x . xref - 1)^2.
    const Matrix s = getpw_arbit(c.reference, y);
    ASSERT_EQ(s.cols(), 2 * k - 3);
    const Matrix r = c.reference.leftCols(2 * k);
    for (Index i = 0; i < y.rows(); ++i) {
        const Matrix d = y.row(i).head(2 * k) - r;
        const double scale = (d * r.transpose())(0);
        EXPECT_NEAR(d.squaredNorm(), s.row(i).head(2 * k - 4).squaredNorm() + scale * scale,
                    1e-12 + 1e-10 * d.squaredNorm())
            << "specimen " << i;
        EXPECT_EQ(s(i, 2 * k - 4), x(i, 2 * k));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Datasets, RealData,
    ::testing::Values(Sample{"plethodon", "Jord_b1.txt", 7}, Sample{"plethodon", "Teyah_b2.txt", 5},
                      Sample{"ratland", "early_b1.txt", 4}, Sample{"larvalMorph", "T_b2.txt", 64}),
    [](const auto& info) {
        return std::string(info.param.dataset) + "_" + std::to_string(info.index);
    });

}  // namespace
}  // namespace tesvane
