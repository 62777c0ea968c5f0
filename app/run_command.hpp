// `tesvane run`: a whole analysis from four data files, without windows.
#pragma once

#include <iosfwd>
#include <string>

namespace tesvane {

struct RunOptions {
    std::string g1b1, g1b2, g2b1, g2b2;  // the four data files
    bool block2_landmarks = true;        // block 2 holds landmarks (else variables)
};

// Runs the analysis and writes its report to `out`. Returns the process exit code; errors are
// written to `err` as one message each.
int run_analysis(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tesvane
