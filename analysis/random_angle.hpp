// How likely an angle between two axes is when the axes point in random directions.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

// P(angle <= theta) for the angle between two independent, uniformly random directions in q
// dimensions, the angle taken from the absolute cosine as for axes (0 ... 90 degrees). The
// cosine c of two random unit vectors has density proportional to (1 - c^2)^((q-3)/2) on
// [-1, 1], so
// \f[ P(\mathrm{angle} \le \theta) = P(|c| \ge \cos\theta) = I_{\sin^2\theta}((q-1)/2, 1/2), \f]
// (the regularised incomplete beta function), which for q = 2 is theta / 90 degrees. theta is in
// degrees and clamped to [0, 90]; q < 2 leaves only one direction, so every angle is 0 and the
// probability is 1.
double random_angle_probability(double theta_degrees, Index q);

}  // namespace tesvane
