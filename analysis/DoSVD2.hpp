// The main analysis: a two-block PLS of each group on shared references, and the angles between
// the two groups' axes.
#pragma once

#include <string>

#include "platform/app_context.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

// The action "DoSVD2": reads the four blocks and the homology flag, runs two_group_pls, stores
// its results in the session and shows the angle report. A block 1 and block 2 of one group with
// different specimen counts shows a message and ends the action, keeping what was stored up to
// then.
void DoSVD2(AppContext& ctx);

// The angle report for the groups' decompositions: per axis i < numsvd the block-1 angle (and
// with homology2 the block-2 angle) between group 1's and group 2's axis i, or "not defined
// (null axis)" when the axis is null in either group.
std::string angle_report(const Matrix& ubee2, const Matrix& sbee2, const Matrix& vbee2,
                         const Matrix& ubee2g, const Matrix& sbee2g, const Matrix& vbee2g,
                         bool homology2);

}  // namespace tesvane
