#include "platform/qt/plot_widget.hpp"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <map>

#include "platform/render/figure_export.hpp"

namespace tesvane::gui {

namespace {
bool usable(const render::FigureLayout& lay) {
    const auto& v = lay.visible;
    return lay.plot_box.w > 0 && lay.plot_box.h > 0 && std::isfinite(v[0]) && std::isfinite(v[1]) &&
           std::isfinite(v[2]) && std::isfinite(v[3]) && v[1] > v[0] && v[3] > v[2];
}
}  // namespace

PlotWidget::PlotWidget(const fig::Figure& figure, QWidget* parent)
    : QWidget(parent), figure_(figure) {
    setObjectName("PlotWidget");
    setMinimumSize(320, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double PlotWidget::pixels_per_point() const {
    const double dpi = logicalDpiX();
    return std::isfinite(dpi) && dpi > 72 ? dpi / 72 : 1.0;
}

std::optional<QPointF> PlotWidget::to_data(QPointF pos) const {
    try {
        const double s = pixels_per_point();
        const render::FigureLayout lay = render::layout_figure(figure_, width() / s, height() / s);
        if (!usable(lay))
            return std::nullopt;
        pos /= s;
        const auto& v = lay.visible;
        const double x = v[0] + (pos.x() - lay.plot_box.x) / lay.plot_box.w * (v[1] - v[0]);
        const double y = v[2] + (lay.plot_box.bottom() - pos.y()) / lay.plot_box.h * (v[3] - v[2]);
        return QPointF(x, y);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<QPointF> PlotWidget::to_widget(double x, double y) const {
    try {
        const double s = pixels_per_point();
        const render::FigureLayout lay = render::layout_figure(figure_, width() / s, height() / s);
        if (!usable(lay))
            return std::nullopt;
        const render::Point p = lay.to_canvas(x, y);
        return QPointF(p.x * s, p.y * s);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void PlotWidget::sync_pointer() {
    std::string name = figure_.pointer;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const Matrix& shape = figure_.pointer_shape;
    if (name == "custom" && shape.rows() == 16 && shape.cols() == 16) {
        QImage image(16, 16, QImage::Format_ARGB32);
        for (int r = 0; r < 16; ++r) {
            for (int c = 0; c < 16; ++c) {
                const double v = shape(r, c);
                image.setPixel(c, r,
                               v == 1   ? qRgba(0, 0, 0, 255)
                               : v == 2 ? qRgba(255, 255, 255, 255)
                                        : qRgba(0, 0, 0, 0));
            }
        }
        pointer_ = QCursor(QPixmap::fromImage(image), 0, 0);
    } else {
        static const std::map<std::string, Qt::CursorShape> shapes = {
            {"crosshair", Qt::CrossCursor}, {"watch", Qt::WaitCursor},
            {"ibeam", Qt::IBeamCursor},     {"hand", Qt::PointingHandCursor},
            {"fleur", Qt::SizeAllCursor},
        };
        const auto it = shapes.find(name);
        pointer_ = QCursor(it == shapes.end() ? Qt::ArrowCursor : it->second);
    }
    if (!waiting_)
        setCursor(pointer_);
}

void PlotWidget::set_waiting_for_click(bool on) {
    waiting_ = on;
    setCursor(on ? QCursor(Qt::CrossCursor) : pointer_);
    update();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    ++frames_;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    try {
        render::paint_figure(figure_, painter, QRectF(rect()), pixels_per_point());
    } catch (const std::exception& e) {
        // A picture that cannot be drawn must not take the window down with it.
        painter.setPen(Qt::darkRed);
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("The figure cannot be drawn: %1").arg(e.what()));
    }
    if (waiting_) {
        const QString hint = tr("Click in the plot: the right button ends this step, Esc cancels");
        const QFontMetrics fm(font());
        const QRect box(8, 8, fm.horizontalAdvance(hint) + 16, fm.height() + 10);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 248, 200, 235));
        painter.drawRoundedRect(box, 4, 4);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, hint);
    }
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
    int button = 0;
    switch (event->button()) {
        case Qt::LeftButton:
            button = 1;
            break;
        case Qt::MiddleButton:
            button = 2;
            break;
        case Qt::RightButton:
            button = 3;
            break;
        default:
            break;
    }
    const std::optional<QPointF> p = to_data(event->position());
    if (button == 0 || !p) {
        QWidget::mousePressEvent(event);
        return;
    }
    emit pressed(p->x(), p->y(), button);
}

void PlotWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized(event->size());
}

}  // namespace tesvane::gui
