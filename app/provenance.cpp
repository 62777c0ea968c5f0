#include "app/provenance.hpp"

#include <chrono>
#include <ctime>

namespace tesvane {

std::string input_role(const Provenance& p, int i) {
    return p.groups[static_cast<size_t>(i / 2)] + (i % 2 == 0 ? ", block 1" : ", block 2");
}

Provenance collect_provenance(const ResultsSummary& s, const AnalysisRecord& record,
                              std::uint64_t seed, unsigned threads) {
    Provenance p;
    p.program = "tesvane " TESVANE_VERSION;
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    p.created = stamp;
    p.origin = record.origin;
    p.groups = {s.groups[0].name, s.groups[1].name};
    p.inputs = record.inputs;
    p.specimens = {s.groups[0].n, s.groups[1].n};
    p.landmarks1 = s.landmarks1;
    p.block2_size = s.block2_size;
    p.landmarks2 = s.landmarks2;
    p.homology2 = s.homology2;
    p.seed = seed;
    p.threads = threads;
    if (s.bootstrap) {
        p.bootstrap_replicates = s.bootstrap->nboots;
        p.alpha = s.bootstrap->alpha;
        p.seed = s.bootstrap->settings.seed;
        p.threads = s.bootstrap->settings.threads;
    }
    if (s.permutations) {
        p.permutations = s.permutations->results.permutations;
        p.seed = s.permutations->settings.seed;
        p.threads = s.permutations->settings.threads;
    }
    return p;
}

}  // namespace tesvane
