#include "platform/qt/export_dialog.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <filesystem>

#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/qt/qt_platform.hpp"

namespace tesvane::gui {

ExportDialog::ExportDialog(const fig::ExportSize& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Export figure"));
    setObjectName("ExportDialog");
    auto* form = new QFormLayout(this);
    width_ = new QDoubleSpinBox;
    height_ = new QDoubleSpinBox;
    for (QDoubleSpinBox* b : {width_, height_}) {
        b->setDecimals(1);
        b->setRange(1, 100000);
    }
    width_->setValue(current.width_pt * 25.4 / 72);
    height_->setValue(current.height_pt * 25.4 / 72);
    unit_ = new QComboBox;
    unit_->addItems({"mm", "in", "px"});
    // The numbers follow the unit, so that switching shows the same size.
    connect(unit_, &QComboBox::currentTextChanged, this, [this](const QString&) {
        const QString now = unit_->currentText();
        const QString previous = unit_shown_;
        auto per_pt = [this](const QString& u) {
            return u == "mm" ? 25.4 / 72 : (u == "in" ? 1.0 / 72 : dpi_->value() / 72.0);
        };
        const double f = per_pt(now) / per_pt(previous);
        width_->setValue(width_->value() * f);
        height_->setValue(height_->value() * f);
        unit_shown_ = now;
    });
    auto* size_row = new QHBoxLayout;
    size_row->addWidget(width_);
    size_row->addWidget(new QLabel(QStringLiteral("×")));
    size_row->addWidget(height_);
    size_row->addWidget(unit_);
    form->addRow(tr("Size"), size_row);
    dpi_ = new QSpinBox;
    dpi_->setRange(10, 10000);
    dpi_->setValue(static_cast<int>(current.dpi));
    dpi_->setSuffix(tr(" dpi"));
    dpi_->setToolTip(tr("Resolution of a PNG picture; vector formats ignore it."));
    form->addRow(tr("Resolution"), dpi_);
    format_ = new QComboBox;
    format_->addItem(tr("PDF"), "pdf");
    format_->addItem(tr("SVG"), "svg");
    format_->addItem(tr("PNG"), "png");
    format_->addItem(tr("EPS"), "eps");
    form->addRow(tr("Format"), format_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ExportChoice ExportDialog::choice() const {
    ExportChoice c;
    const std::string text = cformat("%.6gx%.6g", width_->value(), height_->value()) +
                             unit_->currentText().toStdString();
    c.size = fig::parse_export_size(text, dpi_->value());
    c.format = format_->currentData().toString().toStdString();
    return c;
}

void export_figure(QtPlatform& ui, QWidget* parent) {
    ExportDialog dialog(ui.figure().export_size, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ExportChoice c;
    try {
        c = dialog.choice();
    } catch (const Error& e) {
        ui.message_box(e.what());
        return;
    }
    const std::optional<FileChoice> file =
        ui.save_file_dialog("Export figure as ." + c.format, "*." + c.format);
    if (!file)
        return;
    std::filesystem::path path = file->path();
    if (path.extension().string().empty())
        path += "." + c.format;
    ui.figure().export_size = c.size;
    ui.save_figure_to(path.string());
}

}  // namespace tesvane::gui
