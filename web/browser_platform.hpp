// The platform of the browser edition: the headless one (controls in memory, dialogs answered
// from what the page collected, queued as a script's answers), with the bootstrap's progress
// sent to the page and figures drawn to SVG text without Qt.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "platform/headless/headless_platform.hpp"

namespace tesvane {

class BrowserPlatform : public HeadlessPlatform {
  public:
    // `progress_sink(fraction, what)` receives the progress of long steps; the page cancels a
    // step by stopping the worker the module runs in, so progress never asks to stop.
    using ProgressSink = std::function<void(double, const std::string&)>;
    BrowserPlatform(std::ostream* echo, ProgressSink progress_sink);

    bool progress(double fraction, const std::string& what) override;

  private:
    ProgressSink sink_;
};

// The size of a figure the page shows and downloads, in points (the desktop's default export).
inline constexpr double kFigureWidthPt = 560;
inline constexpr double kFigureHeightPt = 420;

// Writes the figure to `path` as SVG; any other extension is refused with a message naming it
// (the page turns the SVG into PNG itself).
void save_figure_svg(const fig::Figure& f, const std::string& path);

}  // namespace tesvane
