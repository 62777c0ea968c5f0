#include "platform/qt/qt_controls.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cctype>
#include <cmath>

namespace tesvane::gui {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

QFont monospace_font() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

void WidgetControl::set_enable(const std::string& e) {
    std::string lower = e;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    enable_ = lower;
    if (widget_)
        widget_->setEnabled(lower != "off");
}

SummaryControl::SummaryControl(QLabel* label) : WidgetControl(label) {}
QLabel* SummaryControl::label() const {
    return static_cast<QLabel*>(widget_.data());
}
std::string SummaryControl::string() const {
    return label() ? label()->text().toStdString() : std::string();
}
void SummaryControl::set_string(const std::string& s) {
    if (label())
        label()->setText(qs(s));
}

EditControl::EditControl(QLineEdit* edit) : WidgetControl(edit) {}
QLineEdit* EditControl::edit() const {
    return static_cast<QLineEdit*>(widget_.data());
}
std::string EditControl::string() const {
    return edit() ? edit()->text().toStdString() : std::string();
}
void EditControl::set_string(const std::string& s) {
    if (edit())
        edit()->setText(qs(s));
}

CheckControl::CheckControl(QCheckBox* box) : WidgetControl(box) {}
QCheckBox* CheckControl::box() const {
    return static_cast<QCheckBox*>(widget_.data());
}
std::string CheckControl::string() const {
    return box() ? box()->text().toStdString() : std::string();
}
void CheckControl::set_string(const std::string& s) {
    if (box())
        box()->setText(qs(s));
}
double CheckControl::value() const {
    return box() && box()->isChecked() ? 1 : 0;
}
void CheckControl::set_value(double v) {
    if (box())
        box()->setChecked(v != 0 && !std::isnan(v));
}

PopupControl::PopupControl(QComboBox* combo) : WidgetControl(combo) {}
QComboBox* PopupControl::combo() const {
    return static_cast<QComboBox*>(widget_.data());
}
std::string PopupControl::string() const {
    return combo() ? combo()->currentText().toStdString() : std::string();
}
double PopupControl::value() const {
    return combo() ? combo()->currentIndex() + 1 : 1;
}
void PopupControl::set_value(double v) {
    // Checked as a double first: casting a value outside int's range is undefined.
    if (!combo() || !std::isfinite(v) || v < 1 || v > combo()->count() || v != std::floor(v))
        return;
    combo()->setCurrentIndex(static_cast<int>(v) - 1);
}

ReportControl::ReportControl(QPlainTextEdit* text) : WidgetControl(text) {}
QPlainTextEdit* ReportControl::text() const {
    return static_cast<QPlainTextEdit*>(widget_.data());
}
std::string ReportControl::string() const {
    return text() ? text()->toPlainText().toStdString() : std::string();
}
void ReportControl::set_string(const std::string& s) {
    if (text())
        text()->setPlainText(qs(s));
}

BuiltControl build_control(const ControlSpec& control_spec, QWidget* parent) {
    BuiltControl b;
    switch (control_spec.kind) {
        case ControlKind::Summary: {
            auto* label = new QLabel(qs(control_spec.initial_string), parent);
            label->setTextFormat(Qt::PlainText);
            label->setFont(monospace_font());
            label->setFrameShape(QFrame::StyledPanel);
            label->setFrameShadow(QFrame::Sunken);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            // Room for a summary before there is one, so loading does not shift the layout.
            label->setMinimumHeight(QFontMetrics(label->font()).lineSpacing() * 3 + 8);

            b.widget = label;
            b.control = std::make_unique<SummaryControl>(label);
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(qs(control_spec.initial_string), parent);
            b.widget = edit;
            b.control = std::make_unique<EditControl>(edit);
            break;
        }
        case ControlKind::Check: {
            auto* box = new QCheckBox(qs(control_spec.label), parent);
            box->setChecked(control_spec.initial_value != 0);
            b.widget = box;
            b.control = std::make_unique<CheckControl>(box);
            break;
        }
        case ControlKind::Popup: {
            auto* combo = new QComboBox(parent);
            for (const std::string& e : control_spec.entries)
                combo->addItem(qs(e));
            b.widget = combo;
            b.control = std::make_unique<PopupControl>(combo);
            b.control->set_value(control_spec.initial_value);
            break;
        }
        case ControlKind::Report: {
            auto* text = new QPlainTextEdit(parent);
            text->setReadOnly(true);
            text->setFont(monospace_font());
            text->setLineWrapMode(QPlainTextEdit::NoWrap);
            text->setPlainText(qs(control_spec.initial_string));
            b.widget = text;
            b.control = std::make_unique<ReportControl>(text);
            break;
        }
    }
    b.widget->setObjectName(qs(control_spec.tag));
    b.widget->setToolTip(
        qs(control_spec.tooltip.empty() ? control_spec.label : control_spec.tooltip));
    return b;
}

}  // namespace tesvane::gui
