// The numbers of the last analysis, bootstrap and permutation tests gathered in one place, for
// the report file and the structured results. Not-a-number marks a value that is not defined
// (a null axis, a bound with an undefined replicate angle).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis_record.hpp"
#include "app/session.hpp"
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

struct PermutationGroupSummary {
    RowVector p_sval;  // per axis; not-a-number on a null axis
    double r = 0, p_r = 0, rv = 0, p_rv = 0;
    double effect_size = 0;
};

struct PermutationSummary {
    int permutations = 0;
    std::array<PermutationGroupSummary, 2> groups;
    double z12 = 0, p_z12 = 0;  // not-a-number when an effect size is not defined
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

// The group names: each group's block-1 file name without its folder, its extension and a
// trailing block marker ("Jord_b1.txt" gives "Jord"); "Group 1" and "Group 2" when those are
// empty or the same.
std::array<std::string, 2> group_names(const AnalysisRecord& record);

// Gathers the results of the last completed analysis; an Error when there is none.
ResultsSummary summarise_results(const Session& vars, const AnalysisRecord& record);

}  // namespace tesvane
