// The results window: the report of the analysis and of the bootstrap, and its saving.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "platform/platform.hpp"

class QPlainTextEdit;
class QPushButton;

namespace tesvane::gui {

class ResultsWindow : public QWidget {
    Q_OBJECT
  public:
    // `save` runs when the Save button is pressed; `closed` when the user closes the window.
    ResultsWindow(std::function<void()> save, std::function<void()> closed);
    ~ResultsWindow() override;

    Control& report() { return *report_; }
    QPlainTextEdit& report_text() { return *text_; }
    QPushButton& save_button() { return *save_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::unique_ptr<Control> report_;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* save_ = nullptr;
    std::function<void()> closed_;
};

}  // namespace tesvane::gui
