// The per-specimen PLS scores of both groups as one CSV table.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/app_context.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

// One group's rows: the specimens' IDs and their block-1 and block-2 scores, one column per
// axis; a null axis (no defined direction) is written as NA.
struct SpecimenScores {
    std::string name;
    std::vector<std::string> ids;
    Matrix block1, block2;
    std::vector<bool> null_axis;
};

// The table: a header "group","specimen","block1_axis1", ..., "block2_axis1", ..., then one row
// per specimen, group 1 first. Texts are always quoted (a quote inside doubled), numbers have
// ten significant digits; a group with fewer axes than the other has NA in the rest.
std::string scores_csv(const std::array<SpecimenScores, 2>& groups);

// The scores of the last analysis, centred within each group (the analysis forms group 2's
// scores from uncentred shape variables; centring moves each column by a constant only), on
// the axes the two blocks share. The IDs come from the block-1 file, else the block-2 file,
// else they are 1 ... n. The groups are called `names`. An Error when there is no analysis.
std::array<SpecimenScores, 2> session_scores(const Session& vars,
                                             const std::array<std::string, 2>& names);

// The action "SaveScores": asks for a file and writes the table there.
void save_scores(AppContext& ctx);

}  // namespace tesvane
