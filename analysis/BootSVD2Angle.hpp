// The bootstrap action: bounds of the angles between the axes of two resamples of each group,
// and ranges of the first-axis correlations.
#pragma once

#include "analysis/bootstrap.hpp"
#include "platform/app_context.hpp"

namespace tesvane {

// The action "BootSVD2Angle". Reads BootBox, AlphaBox and HomologyButton and the results of the
// last DoSVD2; a box that holds no usable number, or an alpha level that leaves no bound row,
// shows a message and changes nothing. The replicates run on the threads and with the seed of
// ctx.resampling; progress goes through Platform::progress, and a cancel there ends the
// action with nothing reported.
void BootSVD2Angle(AppContext& ctx);

}  // namespace tesvane
