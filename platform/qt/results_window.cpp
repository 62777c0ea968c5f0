#include "platform/qt/results_window.hpp"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/controls.hpp"
#include "platform/qt/qt_controls.hpp"

namespace tesvane::gui {

ResultsWindow::ResultsWindow(std::function<void()> save, std::function<void()> closed)
    : closed_(std::move(closed)) {
    setWindowTitle(tr("Tesvane results"));
    setObjectName("ResultsWindow");
    auto* layout = new QVBoxLayout(this);

    for (const ControlSpec& control_spec : control_table()) {
        if (control_spec.window != "results")
            continue;
        BuiltControl b = build_control(control_spec, this);
        if (control_spec.kind == ControlKind::Report) {
            text_ = static_cast<QPlainTextEdit*>(b.widget);
            text_->setPlaceholderText(
                tr("The reports of \"Analyse\" and \"Bootstrap\" appear here."));
            report_ = std::move(b.control);
        }
        layout->addWidget(b.widget, 1);
    }
    if (!report_) {
        BuiltControl b = build_control(
            {"AuxResults", ControlKind::Report, "Results", "", 0, {}, "results", "Results"}, this);
        text_ = static_cast<QPlainTextEdit*>(b.widget);
        report_ = std::move(b.control);
        layout->addWidget(b.widget, 1);
    }
    // A new report is what the user waits for: bring it in front of the main window.
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (isVisible() && isWindow())
            raise();
    });
    // A report's lines wrap at the window's width rather than scroll sideways.
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Save appends the report to a text file."), this));
    row->addStretch(1);
    save_ = new QPushButton(tr("Save…"), this);
    save_->setObjectName("AuxBoxsw");
    connect(save_, &QPushButton::clicked, this, [save = std::move(save)] { save(); });
    row->addWidget(save_);
    layout->addLayout(row);
    resize(460, 460);
}

ResultsWindow::~ResultsWindow() = default;

void ResultsWindow::closeEvent(QCloseEvent* event) {
    // Kept alive but hidden: the platform treats it as closed and opens it afresh on demand.
    event->accept();
    if (closed_)
        closed_();
}

}  // namespace tesvane::gui
