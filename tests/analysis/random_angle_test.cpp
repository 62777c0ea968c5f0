// The probability of an angle between random axes: the incomplete beta formula against a
// numeric integration of the density of the angle.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/random_angle.hpp"

namespace tesvane::test {
namespace {

// P(angle <= theta) by Simpson's rule: with c = cos(phi) the density of the angle phi in
// [0, pi/2] is proportional to sin(phi)^(q-2), which has no singularity to integrate over.
double integrated(double theta_degrees, int q) {
    auto integral = [q](double upper) {
        const int steps = 4000;
        const double h = upper / steps;
        double s = 0;
        for (int i = 0; i <= steps; ++i) {
            const double w = (i == 0 || i == steps) ? 1 : (i % 2 ? 4 : 2);
            s += w * std::pow(std::sin(i * h), q - 2);
        }
        return s * h / 3;
    };
    return integral(theta_degrees * M_PI / 180) / integral(M_PI / 2);
}

TEST(RandomAngle, AgreesWithTheIntegratedDensity) {
    for (int q : {2, 3, 10, 50}) {
        for (double theta : {0.5, 5.0, 20.0, 45.0, 60.0, 80.0, 89.9}) {
            const double p = random_angle_probability(theta, q);
            const double want = integrated(theta, q);
            EXPECT_NEAR(p, want, 1e-9 * want + 1e-14) << "q = " << q << ", angle " << theta;
        }
    }
}

TEST(RandomAngle, ClosedFormsAndEnds) {
    for (double theta : {0.0, 1.0, 33.3, 90.0}) {
        EXPECT_NEAR(random_angle_probability(theta, 2), theta / 90, 1e-14);  // uniform angle
        EXPECT_NEAR(random_angle_probability(theta, 3), 1 - std::cos(theta * M_PI / 180), 1e-14);
    }
    EXPECT_EQ(random_angle_probability(0.0, 124), 0.0);
    EXPECT_NEAR(random_angle_probability(90.0, 124), 1.0, 1e-14);
    EXPECT_NEAR(random_angle_probability(120.0, 10), 1.0, 1e-14);  // clamped to 90
    EXPECT_EQ(random_angle_probability(30.0, 1), 1.0);             // one direction only
    // Far in the tail the value keeps its digits: for q = 50 and a small angle,
    // P ~ (theta^49 / 49) / (B(49/2, 1/2) / 2), about 1e-135 at 0.1 degrees.
    const double t = 0.1 * M_PI / 180;
    const double lead =
        std::pow(t, 49) / 24.5 / std::exp(std::lgamma(24.5) + std::lgamma(0.5) - std::lgamma(25.0));
    EXPECT_NEAR(random_angle_probability(0.1, 50) / lead, 1.0, 1e-4);
}

TEST(IncompleteBeta, KnownSpecialCases) {
    for (double x : {0.01, 0.3, 0.7, 0.99}) {
        EXPECT_NEAR(incomplete_beta(2.5, 1.0, x, 1 - x), std::pow(x, 2.5), 1e-14);
        EXPECT_NEAR(incomplete_beta(1.0, 3.5, x, 1 - x), 1 - std::pow(1 - x, 3.5), 1e-14);
        EXPECT_NEAR(incomplete_beta(0.5, 0.5, x, 1 - x), 2 / M_PI * std::asin(std::sqrt(x)), 1e-14);
    }
    EXPECT_EQ(incomplete_beta(3, 0.5, 0, 1), 0.0);
    EXPECT_EQ(incomplete_beta(3, 0.5, 1, 0), 1.0);
}

}  // namespace
}  // namespace tesvane::test
