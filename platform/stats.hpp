// Column statistics. Covariances and standard deviations divide by n-1; correlations are
// Pearson's; sorting is ascending, column by column.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

RowVector column_means(const Matrix& a);
// Every row minus the column means.
Matrix centre_columns(const Matrix& a);
// Sample covariance of the columns (c x c), divisor n-1. A single row gives a zero matrix.
Matrix covariance(const Matrix& a);
// Sample standard deviation of each column, divisor n-1.
RowVector std_dev(const Matrix& a);
// The 2 x 2 Pearson correlation matrix of two columns of equal length.
Matrix corrcoef(const ColVector& a, const ColVector& b);
// Median of each column (mean of the two middle values for an even count).
RowVector median(const Matrix& a);
// Each column sorted into ascending order.
Matrix sort_columns(const Matrix& a);

}  // namespace tesvane
