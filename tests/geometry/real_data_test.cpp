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
#include "test_paths.hpp"

namespace tesvane {
namespace {

using test::max_diff;

struct Sample {
    const char* dataset;
    const char* file;
    int landmarks;
    int specimens;
};

class RealData : public ::testing::TestWithParam<Sample> {
  protected:
    Matrix load() {
        const auto dir = test::dataset(GetParam().dataset);
        if (dir.empty())
            return Matrix();
        return test::read_block(dir / GetParam().file);
    }
};

// Orthogonal Procrustes by SVD: the rotation R that best maps specimen v onto reference r
// (both k x 2, centred), as the angle it turns by.
double svd_angle(const Matrix& v, const Matrix& r) {
    Eigen::JacobiSVD<Matrix> svd(v.transpose() * r, Eigen::ComputeFullU | Eigen::ComputeFullV);
    const Matrix R = svd.matrixV() * svd.matrixU().transpose();  // r ~ v R^T
    return std::atan2(R(1, 0), R(0, 0));
}

Matrix as_rows(const Matrix& config, int k) {
    Matrix m(k, 2);
    for (int j = 0; j < k; ++j)
        m.row(j) << config(2 * j), config(2 * j + 1);
    return m;
}

TEST_P(RealData, SuperimpositionIsTheBestRigidFitAtUnitSize) {
    const Matrix x = load();
    if (x.size() == 0)
        GTEST_SKIP() << "dataset not available";
    const int k = GetParam().landmarks;
    ASSERT_EQ(x.rows(), GetParam().specimens);
    ASSERT_EQ(x.cols(), 2 * k + 1);

    const Consensus c = getconsensus(x);
    EXPECT_LT(c.iterations, 100);
    EXPECT_NEAR(centsize(c.reference)(0), 1.0, 1e-14);
    EXPECT_LE(max_diff(centpos(c.reference), Matrix::Zero(1, 2)), 1e-15);

    const Matrix y = getpsup(x, c.reference);
    const Matrix ref = as_rows(c.reference, k);
    for (Index i = 0; i < x.rows(); ++i) {
        EXPECT_NEAR(centsize(y.row(i))(0), 1.0, 1e-14);
        EXPECT_LE(max_diff(centpos(y.row(i)), Matrix::Zero(1, 2)), 1e-14);
        EXPECT_EQ(y(i, 2 * k), x(i, 2 * k));
        // Already at the best turn: the SVD solution turns it no further.
        EXPECT_NEAR(svd_angle(as_rows(y.row(i), k), ref), 0.0, 1e-12) << "specimen " << i;
    }
    EXPECT_LE(max_diff(y, c.superimposed), std::sqrt(kConsensusTolerance));
}

TEST_P(RealData, ConsensusIsALocalBestOfTheSummedFit) {
    // Turning each specimen to its best fit, the consensus maximises the summed inner
    // products sum_i |<z_i, m>| over unit forms m (complex notation, z_i unit-size specimens).
    const Matrix x = load();
    if (x.size() == 0)
        GTEST_SKIP() << "dataset not available";
    const int k = GetParam().landmarks;
    const Consensus c = getconsensus(x);
    auto complex_form = [k](const Matrix& r) {
        Eigen::VectorXcd z(k);
        for (int j = 0; j < k; ++j)
            z(j) = {r(2 * j), r(2 * j + 1)};
        return z;
    };
    const Eigen::VectorXcd m = complex_form(c.reference);
    auto fit = [&](const Eigen::VectorXcd& mm) {
        double f = 0;
        for (Index i = 0; i < x.rows(); ++i)
            f += std::abs(complex_form(c.superimposed.row(i)).dot(mm));
        return f;
    };
    const double best = fit(m);
    std::srand(5);
    for (int trial = 0; trial < 20; ++trial) {
        Eigen::VectorXcd d = Eigen::VectorXcd::Random(k);
        d -= Eigen::VectorXcd::Constant(k, d.mean());  // stay centred
        const Eigen::VectorXcd moved = (m + 1e-3 * d).normalized();
        EXPECT_LE(fit(moved), best + 1e-9) << "trial " << trial;
    }
}

TEST_P(RealData, ScoresSplitTheShapeDifferenceExactly) {
    // With the specimen best turned and both at unit size, x - xref is the sum of its
    // projections on the 2k-4 orthonormal score directions and on xref itself, so
    // |x - xref|^2 = sum of squared scores + (x . xref - 1)^2.
    const Matrix x = load();
    if (x.size() == 0)
        GTEST_SKIP() << "dataset not available";
    const int k = GetParam().landmarks;
    const Consensus c = getconsensus(x);
    const Matrix y = getpsup(x, c.reference);
    const Matrix s = getpw_arbit(c.reference, y);
    ASSERT_EQ(s.cols(), 2 * k - 3);
    const Matrix r = c.reference.leftCols(2 * k);
    for (Index i = 0; i < y.rows(); ++i) {
        const Matrix yi = y.row(i).head(2 * k);
        const double lhs = (yi - r).squaredNorm();
        const double scale = (yi * r.transpose())(0) - 1.0;
        const double rhs = s.row(i).head(2 * k - 4).squaredNorm() + scale * scale;
        EXPECT_NEAR(lhs, rhs, 1e-12 + 1e-10 * lhs) << "specimen " << i;
        EXPECT_EQ(s(i, 2 * k - 4), x(i, 2 * k));
    }
}

INSTANTIATE_TEST_SUITE_P(Datasets, RealData,
                         ::testing::Values(Sample{"plethodon", "Jord_b1.txt", 7, 20},
                                           Sample{"plethodon", "Teyah_b2.txt", 5, 20},
                                           Sample{"plethodon_vars", "Jord_b1.txt", 12, 20},
                                           Sample{"ratland", "early_b1.txt", 4, 72},
                                           Sample{"larvalMorph", "A_b1.txt", 26, 40},
                                           Sample{"larvalMorph", "T_b2.txt", 64, 37}),
                         [](const auto& info) {
                             return std::string(info.param.dataset) + "_" +
                                    std::to_string(info.index);
                         });

}  // namespace
}  // namespace tesvane
