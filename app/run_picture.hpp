// The picture that `tesvane run --show N` draws after the analysis.
#pragma once

#include <string>

#include "app/run_command.hpp"
#include "platform/app_context.hpp"
#include "platform/headless/headless_platform.hpp"

namespace tesvane {

// Sets the display controls from the options, runs ShowAxis and writes the figure to
// `options.figure` when one is named. Returns the reason when the picture could not be made
// (the action failed or showed a message instead of drawing), else the empty text.
std::string run_picture(AppContext& ctx, HeadlessPlatform& ui, const RunOptions& options,
                        const FigureSaver& save_figure);

}  // namespace tesvane
