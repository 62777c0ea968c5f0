#include "analysis/analysis_record.hpp"

namespace tesvane {

AnalysisRecord& analysis_record(AppContext& ctx) {
    if (!ctx.record)
        ctx.record = std::make_shared<AnalysisRecord>();
    return *ctx.record;
}

}  // namespace tesvane
