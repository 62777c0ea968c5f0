// The numbers of the last analysis, bootstrap and permutation tests gathered in one place, for
// the report file and the structured results. Not-a-number marks a value that is not defined
// (a null axis, a bound with an undefined replicate angle).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis_record.hpp"
#include "analysis/permutation_summary.hpp"
#include "platform/app_context.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

struct GroupSummary {
    std::string name;
    Index n = 0;        // specimens
    RowVector sval;     // singular values as the analysis defines them
    RowVector sval_n1;  // singular values of the cross-covariance with divisor n - 1
    RowVector percent;  // percent of the total squared covariance
    RowVector scor;     // correlation of the block scores, per axis
    std::vector<bool> null_axis;
    double rv = 0;  // RV coefficient of the two blocks
};

struct BootstrapSummary {
    int nboots = 0;
    double alpha = 0;
    bool alpha_raised = false;
    Index rangepoint = 0;
    // Per set (0: group 1, 1: group 2) the bound of the replicate angles at alpha, per axis.
    std::array<RowVector, 2> bound1, bound2;  // bound2 empty without block-2 angles
    std::array<BootRange, 2> corr;            // axis-1 correlation: 95 % range and SE
    BootRange difference{};                   // of the correlations, group 1 minus group 2
    double difference_min = 0, difference_max = 0;
    BootstrapSettings settings;
};

// The permutation tests as the results window reported them, and how they were run.
struct PermutationSummary {
    PermutationResults results;
    BootstrapSettings settings;
};

struct ResultsSummary {
    std::array<GroupSummary, 2> groups;
    bool landmarks2 = true;    // block 2 holds landmarks
    bool homology2 = false;    // block-2 axes compared between the groups
    Index landmarks1 = 0;      // landmarks of block 1
    Index block2_size = 0;     // landmarks or variables of block 2 (group 1)
    Index q1 = 0, q2 = 0;      // shape variables of block 1, variables of block 2
    Index numsvd = 0;          // axes compared between the groups
    RowVector angle1, angle2;  // angles between the groups' axes, degrees; angle2 with homology2
    RowVector p_angle1, p_angle2;  // P(angle <= observed) for random directions
    std::optional<BootstrapSummary> bootstrap;
    std::optional<PermutationSummary> permutations;
};

// The names of both groups (group_name).
std::array<std::string, 2> group_names(AppContext& ctx);

// Gathers the results of the last completed analysis; an Error when there is none.
ResultsSummary summarise_results(AppContext& ctx, const AnalysisRecord& record);

}  // namespace tesvane
