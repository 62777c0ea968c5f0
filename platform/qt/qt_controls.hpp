// Controls of the windows seen through the platform's Control interface: each adaptor reads
// and writes one widget. An adaptor outlives nothing: if its widget is gone, reads give the
// initial values and writes are dropped, so a stale pointer held by an action cannot crash.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/controls.hpp"
#include "platform/platform.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tesvane::gui {

// `Enable` is kept as written (lower case); only "off" disables the widget.
class WidgetControl : public Control {
  public:
    explicit WidgetControl(QWidget* w) : widget_(w) {}
    std::string enable() const override { return enable_; }
    void set_enable(const std::string& e) override;

  protected:
    QPointer<QWidget> widget_;

  private:
    std::string enable_ = "on";
};

// A multi-line summary the program writes (the file boxes).
class SummaryControl : public WidgetControl {
  public:
    explicit SummaryControl(QLabel* label);
    std::string string() const override;
    void set_string(const std::string& s) override;
    double value() const override { return value_; }
    void set_value(double v) override { value_ = v; }

  private:
    QLabel* label() const;
    double value_ = 0;
};

class EditControl : public WidgetControl {
  public:
    explicit EditControl(QLineEdit* edit);
    std::string string() const override;
    void set_string(const std::string& s) override;
    double value() const override { return value_; }
    void set_value(double v) override { value_ = v; }

  private:
    QLineEdit* edit() const;
    double value_ = 0;
};

// Value 1 when ticked, 0 when not; String is the label.
class CheckControl : public WidgetControl {
  public:
    explicit CheckControl(QCheckBox* box);
    std::string string() const override;
    void set_string(const std::string& s) override;
    double value() const override;
    void set_value(double v) override;

  private:
    QCheckBox* box() const;
};

// Value is the 1-based entry; String the entry's text.
class PopupControl : public WidgetControl {
  public:
    explicit PopupControl(QComboBox* combo);
    std::string string() const override;
    // The entries come from the control table; nothing rewrites them.
    void set_string(const std::string&) override {}
    double value() const override;
    void set_value(double v) override;  // ignored unless it names an entry

  private:
    QComboBox* combo() const;
};

// The results window's report: multi-line, read-only, selectable.
class ReportControl : public WidgetControl {
  public:
    explicit ReportControl(QPlainTextEdit* text);
    std::string string() const override;
    void set_string(const std::string& s) override;
    double value() const override { return value_; }
    void set_value(double v) override { value_ = v; }

  private:
    QPlainTextEdit* text() const;
    double value_ = 0;
};

// A widget for one row of the control table, with its adaptor.
struct BuiltControl {
    QWidget* widget = nullptr;  // owned by the caller's layout
    std::unique_ptr<Control> control;
};
// Builds the widget of `control_spec` with its initial String or Value; the widget's objectName is
// the Tag, so tests and style sheets can find it.
BuiltControl build_control(const ControlSpec& control_spec, QWidget* parent);

// A fixed-pitch font for reports and the console, where columns must line up.
QFont monospace_font();

}  // namespace tesvane::gui
