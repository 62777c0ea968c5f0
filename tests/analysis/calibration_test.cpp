// A small seeded run of the calibration: the tests hold their level on simulated data with a
// known truth, and the bound is tight enough that the former comparison fails it.
#include <gtest/gtest.h>

#include "bench/calibration_sim.hpp"

namespace tesvane::test {
namespace {

using calibration::Rejections;
using calibration::Setting;
using calibration::simulate;

double rate(int rejections, int trials) {
    return static_cast<double>(rejections) / trials;
}

TEST(Calibration, EqualIntegrationAndOneAssociatedDimensionHoldTheLevel) {
    // Unequal variances, both groups integrated alike: the former sqrt 2 comparison rejects in
    // about a quarter of the data sets, the published one near 5 %.
    const Setting s{"", 72, 4, 4, 1, 1.0, 0.5};
    const Rejections r = simulate(s, 200, 199, 2024);
    EXPECT_LT(rate(r.z12, r.datasets), 0.12);
    EXPECT_GT(rate(r.z12_fisher_sqrt2, r.datasets), 0.12);
    EXPECT_LT(rate(r.axis2_stepwise, r.group_trials), 0.10);
    // Axis 1 carries the association.
    EXPECT_GT(rate(r.axis1, r.group_trials), 0.9);
}

TEST(Calibration, NoAssociationRejectsAboutFivePercent) {
    const Setting s{"", 20, 10, 6, 0, 0.0, 1.0};
    const Rejections r = simulate(s, 150, 99, 7);
    for (const int k : {r.r_pls, r.axis1, r.rv}) {
        EXPECT_LT(rate(k, r.group_trials), 0.10);
        EXPECT_GT(rate(k, r.group_trials), 0.01);
    }
}

}  // namespace
}  // namespace tesvane::test
