// The Box-Cox power transformation with its exponent chosen by maximum likelihood, used to make
// a skewed permutation distribution nearly normal before an effect size is taken from it.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// (x^lambda - 1) / lambda, and log x at lambda = 0. x > 0.
double box_cox_transform(double x, double lambda);

// The profile log-likelihood of lambda for positive values y already divided by their geometric
// mean (which makes the Jacobian term vanish):
// \f[ \ell(\lambda) = -\frac{N}{2} \log \sum_i (t_i - \bar t)^2, \quad
//     t_i = \frac{y_i^\lambda - 1}{\lambda}, \f]
// with t_i = log y (1 + lambda log y / 2 (1 + lambda log y / 3 (1 + lambda log y / 4))) when
// |lambda| <= 0.001, where the quotient loses its digits.
double box_cox_log_likelihood(const RowVector& y, double lambda);

// The lambda in [-5, 5] that maximises the profile log-likelihood of the positive values x
// (Brent's one-dimensional search); a lambda with |lambda| < 0.001 counts as 0. Values that do
// not vary carry no information on lambda: they give 1, no transformation.
double box_cox_lambda(const RowVector& x);

}  // namespace tesvane
