// Results of the analysis that are not session variables: kept for the JSON output, emptied when
// the analysis runs again and on Clear&reset.
#pragma once

#include <optional>

#include "analysis/permutation_summary.hpp"

namespace tesvane {

struct AnalysisResults {
    std::optional<PermutationResults> permutation;  // of the last analysis, when it had them
};

}  // namespace tesvane
