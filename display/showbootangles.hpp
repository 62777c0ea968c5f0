// The bootstrap's picture: the angles between the axes of two resamples of each group.
#pragma once

#include <string>
#include <vector>

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// One axis of one block: each group's replicate angles (degrees; undefined ones left out), the
// bound at alpha of each group, and the observed angle between the two groups' axes
// (not-a-number when undefined).
struct BootAngles {
    std::vector<double> group1, group2;
    double bound1 = 0, bound2 = 0;
    double observed = 0;
    std::string name1 = "Group 1", name2 = "Group 2";
    double alpha = 0.05;
};

// Clears the axes and draws each group's angles as a strip of points (group 1 above group 2,
// spread up and down so that equal angles stay apart), each group's bound as a dashed line
// across its strip and the observed angle as a solid line across both; with axis titles, the
// groups named at their strips and a legend.
void showbootangles(fig::Axes& axes, const BootAngles& b);

// The bound of nboots replicate angles at `alpha`: the ceil(nboots (1 - alpha))-th smallest;
// not-a-number when any replicate is not-a-number or there are none.
double angle_bound(std::vector<double> angles, double alpha);

}  // namespace tesvane
