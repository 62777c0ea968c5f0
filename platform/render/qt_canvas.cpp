#include "platform/render/qt_canvas.hpp"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPolygonF>

namespace tesvane::render {

namespace {

QColor qcolor(fig::Rgb c) {
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b));
}

QPolygonF qpolygon(const std::vector<Point>& points) {
    QPolygonF poly;
    poly.reserve(qsizetype(points.size()));
    for (const Point& p : points)
        poly << QPointF(p.x, p.y);
    return poly;
}

QPen qpen(const Pen& pen) {
    QPen q(qcolor(pen.color), pen.width);
    q.setJoinStyle(Qt::RoundJoin);
    q.setCapStyle(pen.round_caps ? Qt::RoundCap : Qt::FlatCap);
    if (!pen.dash.empty()) {
        // Qt counts dash lengths in pen widths.
        QList<qreal> pattern;
        for (double d : pen.dash)
            pattern << d / pen.width;
        if (pattern.size() % 2 == 1)
            pattern << pattern.back();
        q.setDashPattern(pattern);
    }
    return q;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter) : p_(painter) {
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
}

QFont QtCanvas::font(double size) const {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    f.setHintingPreference(QFont::PreferNoHinting);  // the same metrics at every scale
    // Fonts are sized through the device's resolution; undo it so that `size` is in points
    // of the painter's own coordinates, like every other length.
    const int dpi = p_.device() ? p_.device()->logicalDpiY() : 72;
    f.setPointSizeF(size * 72.0 / (dpi > 0 ? dpi : 72));
    return f;
}

void QtCanvas::stroke_polyline(const std::vector<Point>& points, const Pen& pen, bool closed) {
    if (points.size() < 2)
        return;
    p_.setPen(qpen(pen));
    p_.setBrush(Qt::NoBrush);
    const QPolygonF poly = qpolygon(points);
    if (closed) {
        p_.drawPolygon(poly);
    } else {
        p_.drawPolyline(poly);
    }
}

void QtCanvas::fill_polygon(const std::vector<std::vector<Point>>& rings, fig::Rgb color) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& ring : rings) {
        if (ring.size() < 3)
            continue;
        path.addPolygon(qpolygon(ring));
        path.closeSubpath();
    }
    p_.fillPath(path, qcolor(color));
}

void QtCanvas::draw_circle(Point centre, double radius, const std::optional<fig::Rgb>& fill,
                           const std::optional<Pen>& edge) {
    p_.setPen(edge ? qpen(*edge) : QPen(Qt::NoPen));
    p_.setBrush(fill ? QBrush(qcolor(*fill)) : QBrush(Qt::NoBrush));
    p_.drawEllipse(QPointF(centre.x, centre.y), radius, radius);
}

void QtCanvas::draw_text(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                         HAlign h, VAlign v) {
    const QString s = QString::fromStdString(utf8);
    const QFont f = font(size);
    const QFontMetricsF m(f, p_.device());
    const Point o = aligned_origin(anchor, {m.horizontalAdvance(s), m.ascent(), m.descent()}, h, v);
    p_.setFont(f);
    p_.setPen(qcolor(color));
    p_.drawText(QPointF(o.x, o.y), s);
}

void QtCanvas::draw_text_up(Point anchor, const std::string& utf8, double size, fig::Rgb color,
                            HAlign h, VAlign v) {
    p_.save();
    p_.translate(anchor.x, anchor.y);
    p_.rotate(-90);
    draw_text({0, 0}, utf8, size, color, h, v);
    p_.restore();
}

TextMetrics QtCanvas::measure_text(const std::string& utf8, double size) {
    const QFontMetricsF m(font(size), p_.device());
    return {m.horizontalAdvance(QString::fromStdString(utf8)), m.ascent(), m.descent()};
}

void QtCanvas::set_clip(const Rect& r) {
    p_.setClipRect(QRectF(r.x, r.y, r.w, r.h));
}

void QtCanvas::reset_clip() {
    p_.setClipping(false);
}

}  // namespace tesvane::render
