// The permutation tests as an addition to the analysis: asked for with PermuteButton, run on
// the score blocks the last DoSVD2 left in the session, reported after its angle report.
#pragma once

#include "platform/app_context.hpp"

namespace tesvane {

// The analysis followed, when PermuteButton is ticked and the analysis stored results for both
// groups, by the permutation tests. Without a ticked PermuteButton this is DoSVD2 itself.
void analysis_then_permutations(AppContext& ctx);

// Permutes the rows of block 2 against block 1 in each group PermBox times and appends the
// report (p-values, effect sizes, random-angle probabilities) to the results window. A box that
// holds no whole number of at least 1 shows a message and adds nothing; the permutations run on
// the threads and with the seed of ctx.resampling; a cancel in Platform::progress adds
// nothing.
void permutation_tests(AppContext& ctx);

}  // namespace tesvane
