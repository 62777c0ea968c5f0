// The figure on screen, in files and in memory for the clipboard, drawn with Qt (cairo for EPS).
#pragma once

#include <string>

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include "platform/render/figure_renderer.hpp"

class QPainter;

namespace tesvane::render {

// On-screen drawing into `target` (logical pixels), at `pixels_per_point` pixels per point.
void paint_figure(const fig::Figure& f, QPainter& painter, const QRectF& target,
                  double pixels_per_point = 1);

// Writes the figure at its export size (Figure::export_size; a PNG at its resolution).
void save_figure(const fig::Figure& f, const std::string& path);

// Writes the figure to a file whose type follows the extension (case-insensitive): .svg, .png
// (`dpi` dots per inch), .pdf or .eps. The file is written under a temporary name in the same
// folder and renamed when complete, so a failed export leaves any earlier file as it was.
// Errors: an unknown extension, or a file that cannot be written; both name the path.
void save_figure(const fig::Figure& f, const std::string& path, double width_pt, double height_pt,
                 double dpi = 144);

// The same pictures in memory, for the clipboard.
QByteArray figure_svg(const fig::Figure& f, double width_pt = 560, double height_pt = 420);
QImage figure_image(const fig::Figure& f, double width_pt = 560, double height_pt = 420,
                    double scale = 2);
QByteArray figure_pdf(const fig::Figure& f, double width_pt = 560, double height_pt = 420);
QByteArray figure_eps(const fig::Figure& f, double width_pt = 560, double height_pt = 420);

}  // namespace tesvane::render
