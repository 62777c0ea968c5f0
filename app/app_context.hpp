// What every action works with: the platform, the session variables and the callable table.
#pragma once

#include "analysis/analysis_record.hpp"
#include "app/registry.hpp"
#include "app/session.hpp"
#include "platform/platform.hpp"

namespace tesvane {

struct AppContext {
    explicit AppContext(Platform& p) : ui(p) {}
    Platform& ui;
    Session vars;
    Registry functions;
    AnalysisRecord record;
};

}  // namespace tesvane
