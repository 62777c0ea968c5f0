// What the last steps of a session worked on and found, beyond the session variables: the
// files loaded, how the results were produced, and the bootstrap and permutation results as
// they were reported. Reports and structured exports are written from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/bootstrap.hpp"
#include "platform/app_context.hpp"

namespace tesvane {

struct BootstrapRecord {
    BootReportInput report;  // the observed angles and correlations, nboots, alpha
    BootstrapTables tables;  // the replicates, unsorted
    BootstrapSettings settings;
};

// The numbers of the permutation tests are session variables (permutation_results_store); the
// record keeps how they were run.
struct PermutationRecord {
    BootstrapSettings settings;
};

// A data file as it was when it was loaded: its digest is taken then, so that a file changed
// afterwards cannot be mistaken for the one the results came from.
struct InputFile {
    std::string path;  // empty: nothing loaded
    std::string name;  // without its folder
    std::uintmax_t size = 0;
    std::string sha256;  // empty when the file could not be read again
};

struct AnalysisRecord {
    // The files of LoadG1B1, LoadG1B2, LoadG2B1, LoadG2B2 as last loaded.
    std::array<InputFile, 4> inputs;
    // How the session was driven: a command line, or the steps recorded in the windows.
    std::string origin;
    // Results of the last bootstrap and permutation tests after the last analysis.
    std::optional<BootstrapRecord> bootstrap;
    std::optional<PermutationRecord> permutations;
};

// The context's record, created empty on first use.
AnalysisRecord& analysis_record(AppContext& ctx);

}  // namespace tesvane
