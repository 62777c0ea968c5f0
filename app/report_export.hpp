// Writing the report file and the structured results of the session.
#pragma once

#include <string>
#include <vector>

#include "app/report_html.hpp"
#include "platform/app_context.hpp"

namespace tesvane {

// The key figures of the report, drawn with the Show action into the main figure and written
// as SVG through the platform: the axis-1 score plot and the axis-1 pictures of both blocks for
// both groups, with the deformation type and exaggeration set in the window. The display
// controls are put back afterwards; the last figure drawn stays shown. A picture that cannot be
// drawn or written is left out, with a line on the console.
std::vector<ReportFigure> report_figures(AppContext& ctx);

// The whole report of the current session as HTML; an Error when there is no analysis.
std::string session_report(AppContext& ctx, const std::string& report_path);

// The action "ExportReport": asks for a file and writes the report there.
void export_report(AppContext& ctx);

}  // namespace tesvane
