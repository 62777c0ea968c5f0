// `tesvane run`: one whole analysis from four data files, without windows.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

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
    std::optional<int> permutations;  // permutation tests per group with this many permutations

    // A picture after the analysis: plot type `show` of ShowAxis with these control texts,
    // written to `figure` (by its extension) when that is not empty.
    std::optional<int> show;
    std::string axis = "1";          // ShowBox
    int deformat = 1;                // DeFormat
    std::string exaggeration = "1";  // ExagerationBox
    std::string range = "1";         // RangeBox
    std::string figure;
};

// Runs LoadG1B1 ... LoadG2B2 and DoSVD2, then BootSVD2Angle when asked, as the buttons would,
// and writes to `out` the text of the results window after each report, with a line break.
// Message boxes and diagnostics go to `err`. Returns 0 on success; 1 with a closing message on
// `err` when a step fails. Figures are written with `save_figure`.
int run_analysis(const RunOptions& options, std::ostream& out, std::ostream& err,
                 const FigureSaver& save_figure = {});

}  // namespace tesvane
