// Decompositions of wide data through their rank, against the direct routines on the same data.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/linalg.hpp"
#include "platform/rank_decompositions.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

Matrix random_matrix(Index rows, Index cols, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> d;
    Matrix m(rows, cols);
    for (Index j = 0; j < cols; ++j)
        for (Index i = 0; i < rows; ++i)
            m(i, j) = d(gen);
    return m;
}

void expect_orthogonal(const Matrix& q) {
    const Matrix gram = q.transpose() * q;
    EXPECT_LT((gram - Matrix::Identity(q.cols(), q.cols())).cwiseAbs().maxCoeff(), 1e-10);
}

// Column j of a and of b point the same way or opposite ways.
void expect_same_axis(const Matrix& a, const Matrix& b, Index j) {
    EXPECT_NEAR(std::abs(a.col(j).dot(b.col(j))), 1.0, 1e-9) << "axis " << j + 1;
}

TEST(RankDecompositions, CrossProductMatchesTheDirectSvd) {
    const struct {
        Index n, q, p;
        bool thin;
    } cases[] = {
        {12, 300, 400, false},  // both sides wider than the specimens: through the rank
        {12, 300, 400, true},
        {12, 20, 400, false},  // one side only a little wider: through the rank too
        {12, 10, 400, false},  // one side narrower than the specimens: direct
        {30, 40, 50, false},   // small: direct
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.n << " x " << c.q << ", " << c.p << " thin " << c.thin);
        const Matrix left = centre_columns(random_matrix(c.n, c.q, 1));
        const Matrix right = centre_columns(random_matrix(c.n, c.p, 2));
        const Matrix X = left.transpose() * right / 3.0;
        const SvdResult want = svd_full(X);
        const SvdResult got = svd_of_cross_product(left, right, 3.0, c.thin);
        const Index axes = std::min(c.q, c.p);
        ASSERT_EQ(got.S.rows(), c.q);
        ASSERT_EQ(got.S.cols(), c.p);
        ASSERT_EQ(got.U.cols(), c.thin ? axes : c.q);
        ASSERT_EQ(got.V.cols(), c.thin ? axes : c.p);
        expect_orthogonal(got.U);
        expect_orthogonal(got.V);
        const double s0 = want.S(0, 0);
        for (Index i = 0; i < axes; ++i) {
            EXPECT_NEAR(got.S(i, i), want.S(i, i), 1e-10 * s0) << i;
            if (want.S(i, i) > 1e-8 * s0) {
                expect_same_axis(got.U, want.U, i);
                expect_same_axis(got.V, want.V, i);
            }
        }
        // U S V^T gives X back.
        const Matrix back =
            got.U * got.S.topLeftCorner(got.U.cols(), got.V.cols()) * got.V.transpose();
        EXPECT_LT((back - X).cwiseAbs().maxCoeff(), 1e-10 * s0);
    }
}

TEST(RankDecompositions, CovarianceEigenMatchesTheDirectOne) {
    for (const Index p : {Index{20}, Index{600}}) {
        const Matrix block = random_matrix(15, p, 3);
        const SymEigResult want = eig_sym(covariance(block));
        const SymEigResult got = covariance_eigen(block);
        ASSERT_EQ(got.vectors.rows(), p);
        ASSERT_EQ(got.vectors.cols(), p);
        expect_orthogonal(got.vectors);
        const double top = want.values(p - 1);
        for (Index i = 0; i < p; ++i)
            EXPECT_NEAR(got.values(i), want.values(i), 1e-10 * top) << i;
        for (Index i = p - 14; i < p; ++i)  // the 14 axes with variance, largest last
            expect_same_axis(got.vectors, want.vectors, i);
    }
}

TEST(RankDecompositions, CompleteBasisKeepsTheColumnsAndAddsOrthogonalOnes) {
    const Matrix b = svd_thin(random_matrix(50, 4, 4)).U;
    for (const Index cols : {Index{4}, Index{10}, Index{50}}) {
        const Matrix full = complete_basis(b, cols);
        ASSERT_EQ(full.cols(), cols);
        EXPECT_EQ(Matrix(full.leftCols(4)), b);
        expect_orthogonal(full);
    }
}

}  // namespace
}  // namespace tesvane
