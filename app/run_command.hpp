// `tesvane run`: one whole analysis from four data files, without windows.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/script_runner.hpp"
#include "platform/random.hpp"
#include "platform/session.hpp"

namespace tesvane {

struct RunOptions {
    std::string g1b1, g1b2, g2b1, g2b2;  // the four data files
    bool block2_landmarks = true;        // block 2 holds landmarks (else variables)
    bool homology = true;                // Value of HomologyButton before the actions run
    std::optional<int> boot;             // bootstrap replicates; no bootstrap without
    std::string alpha = "0.05";          // text of AlphaBox
    std::uint64_t seed = kDefaultRandomSeed;
    unsigned threads = 0;             // bootstrap threads; 0: one per core
    std::string json;                 // file for the session variables, when not empty
    bool show_progress = false;       // bootstrap progress on `err` (meant for a terminal)
    bool quiet = false;               // nothing on `err` but errors
    bool verbose = false;             // diagnostic lines on `err` as well
    std::optional<int> permutations;  // permutation tests per group with this many permutations

    // A picture after the analysis: plot type `show` of ShowAxis with these control texts,
    // written to `figure` (by its extension) when that is not empty.
    std::optional<int> show;
    std::string axis = "1";          // ShowBox
    int deformat = 1;                // DeFormat
    std::string exaggeration = "1";  // ExagerationBox
    std::string range = "1";         // RangeBox
    std::string figure;
    // How far the target lies along the axis: "factor:E" (E times the unit axis), "sd:K" (K
    // standard deviations of the scores) or "range" (the largest score); empty: the factor
    // `exaggeration`.
    std::string magnitude;
    std::string size;  // export size of the figure ("85x85mm"); empty: the default size
    double dpi = 300;  // resolution of a PNG figure, and of a size given in px
    // The groups' names ("Jord,Teyah"), typed into GroupName1 and GroupName2; empty: the
    // names of the block-1 files.
    std::string names;
    // Templates and correspondence lists: one of each for both groups, or one per group (group
    // 1 first). Given, the pictures of plot types 3 and 4 are drawn on the templates.
    std::vector<std::string> templates, clists;

    std::string report;        // the HTML report, when not empty
    std::string scores;        // the per-specimen scores (CSV), when not empty
    std::string command_line;  // as typed, for the record of how the results were made
};

// The ScaleBox entry (1 ... 3) and the ExagerationBox text of a --magnitude value; Error unless
// it is factor:E, sd:K (E, K numbers) or range.
std::pair<int, std::string> parse_magnitude(const std::string& text);

// The two names of "NAME1,NAME2"; Error unless there are two names that are not blank.
std::pair<std::string, std::string> split_group_names(const std::string& text);

// Runs LoadG1B1 ... LoadG2B2 and DoSVD2, then BootSVD2Angle when asked, as the buttons would,
// and writes to `out` the text of the results window after each report, with a line break.
// Message boxes and diagnostics go to `err`. Returns 0 on success; 1 with a closing message on
// `err` when a step fails. Figures are written with `save_figure`.
int run_analysis(const RunOptions& options, std::ostream& out, std::ostream& err,
                 const FigureSaver& save_figure = {});

}  // namespace tesvane
