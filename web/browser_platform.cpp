#include "web/browser_platform.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "io/atomic_file.hpp"
#include "platform/error.hpp"
#include "platform/render/svg_canvas.hpp"

namespace tesvane {

BrowserPlatform::BrowserPlatform(std::ostream* echo, ProgressSink progress_sink)
    : HeadlessPlatform(echo), sink_(std::move(progress_sink)) {}

bool BrowserPlatform::progress(double fraction, const std::string& what) {
    if (sink_)
        sink_(fraction, what);
    return true;
}

void save_figure_svg(const fig::Figure& f, const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext != ".svg")
        throw Error("the browser edition saves figures as SVG only: " + path);
    write_file_atomically(path, render::figure_svg_text(f, kFigureWidthPt, kFigureHeightPt));
}

}  // namespace tesvane
