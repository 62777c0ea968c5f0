// Block-1 against block-2 scores of one PLS axis for both groups.
#pragma once

#include "platform/figure/figure_model.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

struct GroupScores {
    Matrix block1, block2;  // specimens x axes (swc1, swc2)
    double r = 0;           // the correlation of the two score columns of the axis
};

// Clears the axes and draws, for PLS axis `axis` (1-based), each specimen's block-1 score
// against its block-2 score: group 1 as blue circles, group 2 as red stars (the Show step adds
// the axis titles and a legend with each group's correlation). Throws Error when either group
// has no such score column.
void showplsscores(fig::Axes& axes, const GroupScores& g1, const GroupScores& g2, int axis);

}  // namespace tesvane
