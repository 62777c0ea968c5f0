// The plot area of the main window: paints the figure model and turns mouse presses into
// data units through the same layout the painting uses.
#pragma once

#include <QCursor>
#include <QPointF>
#include <QWidget>
#include <optional>

#include "platform/figure/figure_model.hpp"

namespace tesvane::gui {

class PlotWidget : public QWidget {
    Q_OBJECT
  public:
    explicit PlotWidget(const fig::Figure& figure, QWidget* parent = nullptr);

    // Data units under a point of this widget; nothing while the axes have no area.
    std::optional<QPointF> to_data(QPointF pos) const;
    // The widget point where data (x, y) is drawn.
    std::optional<QPointF> to_widget(double x, double y) const;
    // Widget pixels per point of the figure: the screen's logical resolution over 72, so that
    // text of 8 points reads as 8-point text does elsewhere on the desktop (never below 1).
    double pixels_per_point() const;

    // Takes the figure's pointer ("arrow", "crosshair", ... or "custom" with its 16 x 16 shape).
    void sync_pointer();

    // While the program waits for a click: crosshair cursor and a hint in the corner.
    void set_waiting_for_click(bool on);
    bool waiting_for_click() const { return waiting_; }

    // How many times the figure has been painted (lets tests see repaints during waits).
    int frames_painted() const { return frames_; }

    QSize sizeHint() const override { return {760, 570}; }

  signals:
    // A press inside the widget, in data units; button 1 left, 2 middle, 3 right.
    void pressed(double x, double y, int button);
    // The widget's new size in pixels: the figure's own size follows it.
    void resized(QSize size);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const fig::Figure& figure_;
    bool waiting_ = false;
    int frames_ = 0;
    QCursor pointer_{Qt::ArrowCursor};
};

}  // namespace tesvane::gui
