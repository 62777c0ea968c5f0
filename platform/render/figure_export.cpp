// Output devices for the figure layout: screen, images, SVG, PDF and EPS files.
#include <cairo-ps.h>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "io/atomic_file.hpp"
#include "platform/error.hpp"
#include "platform/render/cairo_canvas.hpp"
#include "platform/render/figure_export.hpp"
#include "platform/render/qt_canvas.hpp"

namespace tesvane::render {

namespace {

void render_on(const fig::Figure& f, QPainter& painter, double width_pt, double height_pt) {
    QtCanvas canvas(painter);
    render_figure(f, canvas, width_pt, height_pt);
}

cairo_status_t append_to(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<QByteArray*>(closure)->append(reinterpret_cast<const char*>(data),
                                              static_cast<qsizetype>(length));
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void paint_figure(const fig::Figure& f, QPainter& painter, const QRectF& target,
                  double pixels_per_point) {
    if (target.width() <= 0 || target.height() <= 0)
        return;
    const double s = pixels_per_point > 0 && std::isfinite(pixels_per_point) ? pixels_per_point : 1;
    painter.save();
    painter.translate(target.topLeft());
    painter.setClipRect(QRectF(0, 0, target.width(), target.height()), Qt::IntersectClip);
    painter.scale(s, s);
    render_on(f, painter, target.width() / s, target.height() / s);
    painter.restore();
}

QImage figure_image(const fig::Figure& f, double width_pt, double height_pt, double scale) {
    const int w = std::max(1, static_cast<int>(std::lround(width_pt * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(height_pt * scale)));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    // The physical size a viewer reports is then the figure's size in points.
    const int dots_per_metre = static_cast<int>(std::lround(scale * 72 / 0.0254));
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    render_on(f, painter, width_pt, height_pt);
    painter.end();
    return image;
}

QByteArray figure_svg(const fig::Figure& f, double width_pt, double height_pt) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(72);  // one user unit is one point
    svg.setSize(
        QSize(static_cast<int>(std::ceil(width_pt)), static_cast<int>(std::ceil(height_pt))));
    svg.setViewBox(QRectF(0, 0, width_pt, height_pt));
    svg.setTitle(QStringLiteral("Tesvane figure"));
    QPainter painter(&svg);
    render_on(f, painter, width_pt, height_pt);
    painter.end();
    return bytes;
}

QByteArray figure_pdf(const fig::Figure& f, double width_pt, double height_pt) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(
        QPageSize(QSizeF(width_pt, height_pt), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(720);
    pdf.setCreator(QStringLiteral("Tesvane"));
    pdf.setTitle(QStringLiteral("Tesvane figure"));
    QPainter painter(&pdf);
    const double scale = pdf.resolution() / 72.0;
    painter.scale(scale, scale);
    render_on(f, painter, width_pt, height_pt);
    painter.end();
    return bytes;
}

QByteArray figure_eps(const fig::Figure& f, double width_pt, double height_pt) {
    QByteArray bytes;
    cairo_surface_t* surface =
        cairo_ps_surface_create_for_stream(append_to, &bytes, width_pt, height_pt);
    cairo_ps_surface_set_eps(surface, 1);
    cairo_ps_surface_dsc_comment(surface, "%%Title: Tesvane figure");
    cairo_t* cr = cairo_create(surface);
    {
        CairoCanvas canvas(cr);
        render_figure(f, canvas, width_pt, height_pt);
    }
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw Error(std::string("cannot draw the EPS figure: ") + cairo_status_to_string(status));
    }
    return bytes;
}

void save_figure(const fig::Figure& f, const std::string& path) {
    const fig::ExportSize& s = f.export_size;
    save_figure(f, path, s.width_pt, s.height_pt, s.dpi);
}

void save_figure(const fig::Figure& f, const std::string& path, double width_pt, double height_pt,
                 double dpi) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    QByteArray bytes;
    if (ext == ".svg") {
        bytes = figure_svg(f, width_pt, height_pt);
    } else if (ext == ".png") {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!figure_image(f, width_pt, height_pt, dpi / 72).save(&buffer, "PNG")) {
            throw Error("cannot encode the figure as PNG for '" + path + "'");
        }
    } else if (ext == ".pdf") {
        bytes = figure_pdf(f, width_pt, height_pt);
    } else if (ext == ".eps") {
        bytes = figure_eps(f, width_pt, height_pt);
    } else {
        const std::string shown = ext.empty() ? "none" : "'" + ext + "'";
        throw Error("unknown figure file type " + shown + " of '" + path +
                    "': use .svg, .png, .pdf or .eps");
    }
    // The old file stays whole until the new picture is on disk, as for every file written.
    write_file_atomically(path,
                          std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tesvane::render
