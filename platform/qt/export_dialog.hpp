// Figure > Export…: the size, resolution and format of the exported figure, then the file.
#pragma once

#include <QDialog>
#include <string>

#include "platform/figure/figure_model.hpp"

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace tesvane::gui {

class QtPlatform;

// The choices of the dialog: the size as "WIDTHxHEIGHTunit" text and the format's extension.
struct ExportChoice {
    fig::ExportSize size;
    std::string format = "pdf";  // pdf, svg, png or eps
};

class ExportDialog : public QDialog {
    Q_OBJECT
  public:
    ExportDialog(const fig::ExportSize& current, QWidget* parent = nullptr);
    // The size the fields describe; Error when they give no valid size.
    ExportChoice choice() const;

  private:
    QDoubleSpinBox* width_ = nullptr;
    QDoubleSpinBox* height_ = nullptr;
    QComboBox* unit_ = nullptr;
    QSpinBox* dpi_ = nullptr;
    QComboBox* format_ = nullptr;
    QString unit_shown_ = "mm";  // the unit the numbers are in
};

// Shows the dialog, then a save dialog for the file; saves the figure at the chosen size and
// keeps that size as the figure's export size. Nothing happens on cancel.
void export_figure(QtPlatform& ui, QWidget* parent);

}  // namespace tesvane::gui
