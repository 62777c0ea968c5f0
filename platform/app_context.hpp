// What every action works with: the platform, the session variables, the callable table and
// how resampling runs.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.hpp"
#include "platform/random.hpp"
#include "platform/registry.hpp"
#include "platform/session.hpp"

namespace tesvane {

struct AnalysisRecord;

struct AppContext {
    explicit AppContext(Platform& p) : ui(p) {}
    Platform& ui;
    Session vars;
    Registry functions;
    // Seed and threads of the bootstrap and the permutation tests; set by the command line.
    ResamplingSettings resampling;
    // What the report and the structured results need beyond the session variables (the files
    // loaded, the last bootstrap); reached through analysis_record(), which creates it.
    std::shared_ptr<AnalysisRecord> record;
};

// Replaces the report shown in the results window, opening the window when it was closed.
inline void show_report(AppContext& ctx, const std::string& report) {
    ctx.ui.show_report(report);
}

}  // namespace tesvane
