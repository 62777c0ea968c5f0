#include "platform/qt/main_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qt/plot_widget.hpp"
#include "platform/qt/qt_controls.hpp"
#include "platform/qt/qt_platform.hpp"
#include "platform/qt/results_window.hpp"
#include "platform/qt/session_files.hpp"

namespace tesvane::gui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QLabel* hint(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::PlaceholderText));
    label->setPalette(p);
    return label;
}

QGroupBox* step_box(const QString& title) {
    auto* box = new QGroupBox(title);
    box->setContentsMargins(0, 0, 0, 0);
    QFont f = box->font();
    f.setBold(true);
    box->setFont(f);
    return box;
}

void compact(QLayout* layout) {
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(4);
}

// Children of a bold group box would inherit its bold font.
void unbold(QWidget* w) {
    if (!w)
        return;
    QFont f = w->font();
    f.setBold(false);
    w->setFont(f);
}

}  // namespace

MainWindow::MainWindow(QtPlatform& platform, AppContext& ctx) : platform_(platform), ctx_(ctx) {
    setWindowTitle(tr("Tesvane"));
    setObjectName("MainWindow");

    for (const ControlSpec& control_spec : control_table()) {
        if (control_spec.window != "main")
            continue;
        BuiltControl b = build_control(control_spec, nullptr);
        controls_[control_spec.tag] = Entry{&control_spec, b.widget, std::move(b.control)};
    }
    for (const ActionButton& a : action_buttons()) {
        auto* button = new QPushButton(qs(a.label));
        button->setObjectName(qs(a.action));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, action = a.action, label = a.label] { press(action, label); });
        buttons_[a.action] = button;
    }

    plot_ = new PlotWidget(platform_.figure());

    console_ = new QPlainTextEdit;
    console_->setObjectName("Console");
    console_->setReadOnly(true);
    console_->setFont(monospace_font());
    console_->setMaximumBlockCount(20000);
    console_->setLineWrapMode(QPlainTextEdit::NoWrap);
    console_->setPlaceholderText(tr("Diagnostics and errors of each step appear here."));

    auto* console_box = new QWidget;
    auto* console_layout = new QVBoxLayout(console_box);
    console_layout->setContentsMargins(0, 0, 0, 0);
    console_layout->addWidget(new QLabel(tr("Messages")));
    console_layout->addWidget(console_);

    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(plot_);
    right->addWidget(console_box);
    right->setStretchFactor(0, 4);
    right->setStretchFactor(1, 1);
    right->setChildrenCollapsible(false);

    auto* scroll = new QScrollArea;
    scroll->setWidget(build_steps());
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(scroll->widget()->sizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width());

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(scroll);
    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    setCentralWidget(split);

    build_menus();
    statusBar()->showMessage(tr("Start with step 1: load the four data blocks."));
    // As tall as the screen allows, so that all five steps show without scrolling.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(std::min(1360, avail.width()), std::min(1000, avail.height()));
    } else {
        resize(1360, 860);
    }
}

MainWindow::~MainWindow() = default;

Control* MainWindow::control(const std::string& tag) {
    auto it = controls_.find(tag);
    return it == controls_.end() ? nullptr : it->second.control.get();
}

QPushButton* MainWindow::button(const std::string& action) {
    auto it = buttons_.find(action);
    return it == buttons_.end() ? nullptr : it->second;
}

QWidget* MainWindow::take(const std::string& tag) {
    auto it = controls_.find(tag);
    if (it == controls_.end())
        return nullptr;
    it->second.placed = true;
    unbold(it->second.widget);
    return it->second.widget;
}

QLabel* MainWindow::label_for(const std::string& tag) {
    auto it = controls_.find(tag);
    if (it == controls_.end())
        return nullptr;
    auto* label = new QLabel(qs(it->second.control_spec->label));
    label->setBuddy(it->second.widget);
    unbold(label);
    return label;
}

QPushButton* MainWindow::take_button(const std::string& action) {
    QPushButton* b = button(action);
    if (b) {
        button_placed_[action] = true;
        unbold(b);
    }
    return b;
}

QWidget* MainWindow::build_steps() {
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(4);
    column->addWidget(load_step());
    column->addWidget(analyse_step());
    column->addWidget(bootstrap_step());
    column->addWidget(show_step());
    column->addWidget(save_step());
    if (QGroupBox* more = leftovers_step())
        column->addWidget(more);
    column->addStretch(1);
    return panel;
}

QGroupBox* MainWindow::load_step() {
    QGroupBox* box = step_box(tr("1  Load the data"));
    auto* v = new QVBoxLayout(box);
    compact(v);
    auto* grid = new QGridLayout;
    // Group 1 on the left, group 2 on the right; each file's summary under its button.
    const auto cell = [&](int row, int col, const char* action, const char* tag, int lines) {
        if (QPushButton* b = take_button(action))
            grid->addWidget(b, row, col);
        if (QWidget* w = take(tag)) {
            w->setMinimumHeight(w->fontMetrics().lineSpacing() * lines + 8);
            grid->addWidget(w, row + 1, col);
        }
    };
    cell(0, 0, "LoadG1B1", "FileBox1", 3);
    cell(0, 1, "LoadG2B1", "FileBox3", 3);
    // What block 2 holds must be chosen before it is loaded.
    auto* flags = new QHBoxLayout;
    for (const char* tag : {"Morph2", "HomologyButton"})
        if (QWidget* w = take(tag))
            flags->addWidget(w);
    flags->addStretch(1);
    grid->addLayout(flags, 2, 0, 1, 2);
    cell(3, 0, "LoadG1B2", "FileBox2", 4);
    cell(3, 1, "LoadG2B2", "FileBox4", 4);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    v->addLayout(grid);

    // How the next TPS file is read; other formats ignore these.
    auto* tps = new QHBoxLayout;
    if (QWidget* w = take("TpsMissingButton")) {
        w->setToolTip(
            tr("A landmark with a negative x or y is missing; missing landmarks are "
               "not estimated, so such a file is refused, naming the specimen."));
        tps->addWidget(w);
    }
    if (QWidget* w = take("TpsCurvesButton")) {
        w->setToolTip(
            tr("Append the points of each specimen's curves to its landmarks; "
               "unticked, curves are left out."));
        tps->addWidget(w);
    }
    tps->addStretch(1);
    v->addLayout(tps);

    auto* row = new QHBoxLayout;
    for (const char* action : {"LoadTemplate", "Clear&reset"})
        if (QPushButton* b = take_button(action))
            row->addWidget(b);
    v->addLayout(row);
    return box;
}

QGroupBox* MainWindow::analyse_step() {
    QGroupBox* box = step_box(tr("2  Analyse"));
    auto* v = new QVBoxLayout(box);
    compact(v);
    if (QPushButton* b = take_button("DoSVD2")) {
        b->setToolTip(
            tr("Needs all four blocks. The angles between the groups' axes go to the "
               "results window."));
        v->addWidget(b);
    }
    // The permutation tests run with the analysis when ticked.
    auto* row = new QHBoxLayout;
    compact(row);
    if (QWidget* w = take("PermuteButton"))
        row->addWidget(w, 1);
    QLabel* label = label_for("PermBox");
    if (QWidget* w = take("PermBox")) {
        w->setMaximumWidth(64);
        row->addWidget(label);
        row->addWidget(w);
    }
    v->addLayout(row);
    return box;
}

QGroupBox* MainWindow::bootstrap_step() {
    QGroupBox* box = step_box(tr("3  Bootstrap"));
    auto* row = new QHBoxLayout(box);
    compact(row);
    for (const char* tag : {"BootBox", "AlphaBox"}) {
        QLabel* label = label_for(tag);
        QWidget* w = take(tag);
        if (!w)
            continue;
        w->setMaximumWidth(64);
        row->addWidget(label);
        row->addWidget(w);
    }
    if (QPushButton* b = take_button("BootSVD2Angle"))
        row->addWidget(b, 1);
    return box;
}

QGroupBox* MainWindow::show_step() {
    QGroupBox* box = step_box(tr("4  Show an axis"));
    auto* v = new QVBoxLayout(box);
    compact(v);

    auto* axis_row = new QHBoxLayout;
    if (QLabel* l = label_for("ShowBox"))
        axis_row->addWidget(l);
    if (QPushButton* b = take_button("AxisDown"))
        axis_row->addWidget(b);
    if (QWidget* w = take("ShowBox")) {
        w->setMaximumWidth(60);
        static_cast<QLineEdit*>(w)->setAlignment(Qt::AlignCenter);
        axis_row->addWidget(w);
    }
    if (QPushButton* b = take_button("AxisUp"))
        axis_row->addWidget(b);
    axis_row->addStretch(1);
    v->addLayout(axis_row);

    auto* form = new QFormLayout;
    for (const char* tag : {"ReqAxisBox", "DeFormat"}) {
        QLabel* label = label_for(tag);
        if (QWidget* w = take(tag))
            form->addRow(label, w);
    }
    v->addLayout(form);

    // Numbers three to a row, each with its label; the two base landmarks side by side.
    auto* numbers = new QGridLayout;
    int n = 0;
    for (const char* tag : {"ExagerationBox", "RangeBox", "RefAngleBox", "BaseBox1", "BaseBox2"}) {
        QLabel* label = label_for(tag);
        QWidget* w = take(tag);
        if (!w)
            continue;
        w->setMaximumWidth(56);
        numbers->addWidget(label, n / 3, (n % 3) * 2);
        numbers->addWidget(w, n / 3, (n % 3) * 2 + 1);
        ++n;
    }
    v->addLayout(numbers);

    auto* checks = new QGridLayout;
    n = 0;
    for (const char* tag : {"TemplateButton", "RotateRequest", "NumberButton", "GridButton"}) {
        if (QWidget* w = take(tag)) {
            checks->addWidget(w, n / 2, n % 2);
            ++n;
        }
    }
    v->addLayout(checks);

    if (QPushButton* b = take_button("ShowAxis")) {
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        v->addWidget(b);
    }
    return box;
}

QGroupBox* MainWindow::save_step() {
    QGroupBox* box = step_box(tr("5  Save axes and reference forms"));
    auto* v = new QVBoxLayout(box);
    compact(v);
    QLabel* h = hint(tr("The axis buttons save the axis numbered in step 4."));
    unbold(h);
    v->addWidget(h);
    // Group 1 on the left and group 2 on the right, as in step 1; block 1's reference is
    // shared by both groups and takes a whole row.
    static const std::vector<std::vector<const char*>> rows = {
        {"SavePCB1G1", "SavePCB1G2"},
        {"SavePCB2G1", "SavePCB2G2"},
        {"SaveSVDB1G1", "SaveSVDB1G2"},
        {"SaveSVDB2G1", "SaveSVDB2G2"},
        {"SaveRef1"},
        {"SaveRef2", "SaveRef2g"},
        {"SaveScores"},
    };
    auto* grid = new QGridLayout;
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (const char* action : row)
            if (QPushButton* b = take_button(action))
                grid->addWidget(b, r, c++, 1, row.size() == 1 ? 2 : 1);
        r += c > 0 ? 1 : 0;
    }
    // Save buttons added to the table later still land here.
    int n = 0;
    for (const ActionButton& a : action_buttons()) {
        if (a.group == "save" && !button_placed_[a.action]) {
            grid->addWidget(take_button(a.action), r + n / 2, n % 2);
            ++n;
        }
    }
    v->addLayout(grid);
    return box;
}

QGroupBox* MainWindow::leftovers_step() {
    // Controls and buttons that no step claims still get a place, so none is unreachable.
    std::vector<QWidget*> rest;
    for (const ControlSpec& control_spec : control_table())
        if (control_spec.window == "main" && !controls_[control_spec.tag].placed)
            rest.push_back(take(control_spec.tag));
    for (const ActionButton& a : action_buttons())
        if (!button_placed_[a.action])
            rest.push_back(take_button(a.action));
    if (rest.empty())
        return nullptr;
    QGroupBox* box = step_box(tr("More"));
    auto* v = new QVBoxLayout(box);
    compact(v);
    for (QWidget* w : rest)
        v->addWidget(w);
    return box;
}

void MainWindow::build_menus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open session…"), [this] { open_session(platform_, ctx_); });
    file->addAction(tr("Save &session…"), [this] { save_session(platform_); });
    file->addSeparator();
    file->addAction(tr("&Export report…"), [this] { press("ExportReport", "Export report"); });
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    figure_menu_ = menuBar()->addMenu(tr("F&igure"));
    QAction* save =
        figure_menu_->addAction(tr("&Save figure as…"), [this] { platform_.save_figure_as(); });
    save->setShortcut(QKeySequence::Save);
    figure_menu_->addAction(tr("&Copy figure"), [this] {
        try {
            platform_.copy_figure_to_clipboard();
            show_status(tr("The figure is on the clipboard."), 5000);
        } catch (const std::exception& e) {
            platform_.message_box(std::string("The figure could not be copied: ") + e.what());
        }
    });
    commands_separator_ = figure_menu_->addSeparator();
    commands_separator_->setVisible(false);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->addAction(tr("&Results window"), QKeySequence(Qt::CTRL | Qt::Key_R),
                      [this] { platform_.open_results_window(); });
}

QAction* MainWindow::add_figure_command(const QString& label, const std::string& function) {
    commands_separator_->setVisible(true);
    QAction* action = figure_menu_->addAction(label);
    connect(action, &QAction::triggered, this, [this, label, function] {
        bool ok = true;
        const bool ran = platform_.run_exclusive(
            label.toStdString(), [&] { ok = platform_.recorder().run(ctx_, function); });
        if (ran && !ok)
            show_status(tr("\"%1\" stopped with an error; see Messages.").arg(label));
    });
    return action;
}

void MainWindow::press(const std::string& action, const std::string& label) {
    bool ok = true;
    const bool ran =
        platform_.run_exclusive(label, [&] { ok = platform_.recorder().run_action(ctx_, action); });
    if (!ran)
        show_status(tr("Still busy with the current step; \"%1\" was not started.").arg(qs(label)),
                    5000);
    else if (!ok)
        show_status(tr("\"%1\" stopped with an error; see Messages.").arg(qs(label)));
    else
        show_status(tr("\"%1\" done.").arg(qs(label)), 5000);
}

void MainWindow::append_console(const std::string& line) {
    QTextCharFormat format;
    const bool error = line.rfind("Error", 0) == 0;
    format.setForeground(error ? QColor(176, 0, 32) : palette().color(QPalette::Text));
    QTextCursor cursor(console_->document());
    cursor.movePosition(QTextCursor::End);
    if (!console_->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(qs(line), format);
    console_->verticalScrollBar()->setValue(console_->verticalScrollBar()->maximum());
}

void MainWindow::set_busy(const std::string& what) {
    if (!what.empty()) {
        statusBar()->showMessage(tr("Working: %1…").arg(qs(what)));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
    if (close_pending_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::show_status(const QString& text, int timeout_ms) {
    statusBar()->showMessage(text, timeout_ms);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (platform_.busy()) {
        // The running action must unwind first; its waits are cut short and the window
        // closes as soon as it returns.
        close_pending_ = true;
        event->ignore();
        platform_.abandon_waits();
        return;
    }
    platform_.results_window().close();
    event->accept();
}

}  // namespace tesvane::gui
