// Where a set of results came from: the program, the moment, how it was driven, the exact input
// files and every setting that changes the numbers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/analysis_record.hpp"
#include "app/results_summary.hpp"

namespace tesvane {

struct Provenance {
    std::string program;  // "tesvane 0.1.0"
    std::string created;  // UTC, ISO 8601: 2026-12-07T06:40:00Z
    std::string origin;   // command line or recorded session; empty when not known
    std::array<std::string, 2> groups;
    std::array<InputFile, 4> inputs;  // group 1 block 1, group 1 block 2, group 2 ...
    std::array<Index, 2> specimens{};
    Index landmarks1 = 0, block2_size = 0;
    bool landmarks2 = true, homology2 = false;
    std::optional<int> bootstrap_replicates;
    std::optional<double> alpha;
    std::optional<int> permutations;
    std::uint64_t seed = 0;
    unsigned threads = 0;  // 0: one per core
};

// The role of input i (0 ... 3) in words: "Jord, block 1".
std::string input_role(const Provenance& p, int i);

// The provenance of `summary`, taken now.
Provenance collect_provenance(const ResultsSummary& summary, const AnalysisRecord& record,
                              std::uint64_t seed, unsigned threads);

}  // namespace tesvane
