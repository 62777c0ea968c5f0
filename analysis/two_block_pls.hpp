// The per-group two-block PLS step shared by the analysis and its bootstrap.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// One group's decomposition: X = left^T right / divisor = U S V^T (full), the block scores
// swc1 = score1 U and swc2 = score2 V, and per axis i < min(size X) the singular value sval(i)
// = S(i, i) and the Pearson correlation scor(i) of swc1(:, i) with swc2(:, i).
//
// The analysis forms X and the scores from differently centred copies of the same blocks
// (the means cancel in every result that is reported), so the caller passes each factor.
// score_axes limits the block scores and correlations to the first axes (the bootstrap needs
// one or none); kAllAxes keeps them all. With thin, U and V keep only their first min(size X)
// columns, the axes that have singular values.
//
// `scale` bounds the products of the two blocks' values before centring (shape scores of unit-size
// forms: 1; against variables: their largest magnitude). X's entries then carry round-off of
// about rows * eps * scale / divisor,
// and when even the first singular value is not above that, X holds nothing but round-off: all
// singular values are set to zero, so that every axis is null. 0: no such floor.
struct BlockPls {
    Matrix U, S, V;
    Matrix swc1, swc2;
    RowVector sval, scor;
};
inline constexpr Index kAllAxes = -1;
BlockPls block_pls(const Matrix& left, const Matrix& right, double divisor, const Matrix& score1,
                   const Matrix& score2, Index score_axes = kAllAxes, bool thin = false,
                   double scale = 0.0);

// A singular value counts as zero when it is not above max(rows, cols) * eps * the largest one:
// its singular vectors are then an arbitrary basis of the null space and no angle of theirs
// means anything. S is a singular-value matrix shaped like X.
double null_tolerance(const Matrix& S);
bool is_null_axis(const Matrix& S, Index i);

// The angle in degrees, 0 ... 90, between column i of a and column i of b, whatever their signs:
// kDegreesPerRadian * arccos(|a(:, i) . b(:, i)| * factor). Throws Error when the columns differ
// in length (blocks of different sizes in the two groups).
double axis_angle(const Matrix& a, const Matrix& b, Index i, double factor = 1.0);

// The rows of a followed by the rows of b; throws Error naming `what` when their columns differ.
Matrix stack_rows(const Matrix& a, const Matrix& b, const char* what);

}  // namespace tesvane
