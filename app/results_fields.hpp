// The structured results of a session as JSON: provenance, settings, angles with null flags,
// singular values on both scales, percent of squared covariance, r-PLS, RV, p-values, the
// comparison of integration and the bootstrap's bounds and ranges. Values that are not defined
// are null. Described by schemas/results.schema.json.
#pragma once

#include <nlohmann/json.hpp>

#include "app/provenance.hpp"
#include "app/results_summary.hpp"

namespace tesvane {

nlohmann::json results_fields_json(const Provenance& p, const ResultsSummary& s);

}  // namespace tesvane
