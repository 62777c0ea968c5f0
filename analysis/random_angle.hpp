// How likely an angle between two axes is when the axes point in random directions.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// The regularised incomplete beta function I_x(a, b) for a, b > 0 and 0 <= x <= 1, with
// y = 1 - x passed by the caller so that x near 1 loses no digits:
// \f[ I_x(a, b) = \frac{1}{B(a, b)} \int_0^x t^{a-1} (1-t)^{b-1} \, dt. \f]
// Evaluated by its continued fraction on the side where that converges fast.
double incomplete_beta(double a, double b, double x, double y);

// P(angle <= theta) for the angle between two independent, uniformly random directions in q
// dimensions, the angle taken from the absolute cosine as for axes (0 ... 90 degrees). The
// cosine c of two random unit vectors has density proportional to (1 - c^2)^((q-3)/2) on
// [-1, 1], so
// \f[ P(\mathrm{angle} \le \theta) = P(|c| \ge \cos\theta) = I_{\sin^2\theta}((q-1)/2, 1/2), \f]
// which for q = 2 is theta / 90 degrees. theta is in degrees and clamped to [0, 90]; q < 2 leaves
// only one direction, so every angle is 0 and the probability is 1.
double random_angle_probability(double theta_degrees, Index q);

}  // namespace tesvane
