#include "platform/qt/main_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
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

#include "platform/qt/export_dialog.hpp"
#include "platform/qt/file_drop.hpp"
#include "platform/qt/help_menu.hpp"
#include "platform/qt/plot_widget.hpp"
#include "platform/qt/qt_controls.hpp"
#include "platform/qt/qt_platform.hpp"
#include "platform/qt/recent_files.hpp"
#include "platform/qt/results_window.hpp"
#include "platform/qt/session_files.hpp"
#include "platform/qt/template_dialog.hpp"

namespace tesvane::gui {

namespace {

// Lines the Diagnostics view keeps.
constexpr int kDiagnosticLines = 20000;

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
        button->setToolTip(qs(a.tooltip));
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
    console_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    console_->setPlaceholderText(
        tr("What each step reports, and its errors, appear here. Diagnostic lines are in "
           "View > Diagnostics."));

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

    build_diagnostics_view();
    build_menus();
    accept_drops_on_summaries();
    statusBar()->showMessage(tr("Start with step 1: load the four data blocks."));
    // As large as the screen allows with room for the title bar (1366 x 768 included); the
    // steps scroll when they do not fit.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(std::min(1360, avail.width() - 8), std::min(1000, avail.height() - 40));
    } else {
        resize(1340, 720);
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
    // What each block 2 holds, in plain words, once it is loaded.
    for (int col = 0; col < 2; ++col) {
        auto* caption = hint(QString());
        caption->setObjectName(col == 0 ? "Block2KindG1" : "Block2KindG2");
        unbold(caption);
        grid->addWidget(caption, 5, col);
        block2_kind_[col == 0 ? "LoadG1B2" : "LoadG2B2"] = caption;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    v->addLayout(grid);

    // How the next TPS file is read; other formats ignore these.
    auto* tps = new QHBoxLayout;
    for (const char* tag : {"TpsMissingButton", "TpsCurvesButton"})
        if (QWidget* w = take(tag))
            tps->addWidget(w);
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
    if (QPushButton* b = take_button("DoSVD2"))
        v->addWidget(b);
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
    for (const char* tag : {"ReqAxisBox", "DeFormat", "ScaleBox"}) {
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
    for (const char* tag :
         {"TemplateButton", "RotateRequest", "NumberButton", "GridButton", "OutlineButton"}) {
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
    recent_sessions_ = file->addMenu(tr("Recent s&essions"));
    file->addAction(tr("Save &session…"), [this] { save_session(platform_); });
    file->addSeparator();
    recent_folders_ = file->addMenu(tr("Recent data &folders"));
    connect(file, &QMenu::aboutToShow, this, &MainWindow::fill_recent_menus);
    file->addAction(tr("&Export report…"), [this] { press("ExportReport", "Export report"); });
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    figure_menu_ = menuBar()->addMenu(tr("F&igure"));
    QAction* save =
        figure_menu_->addAction(tr("&Save figure as…"), [this] { platform_.save_figure_as(); });
    save->setShortcut(QKeySequence::Save);
    figure_menu_->addAction(tr("&Export…"), [this] { export_figure(platform_, this); });
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

    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* diagnostics = diagnostics_dock_->toggleViewAction();
    diagnostics->setText(tr("&Diagnostics"));
    diagnostics->setObjectName("ViewDiagnostics");
    view->addAction(diagnostics);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->addAction(tr("&Results window"), QKeySequence(Qt::CTRL | Qt::Key_R),
                      [this] { platform_.open_results_window(); });
    add_help_menu(*this);
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
    if (!platform_.busy() && !confirm(action))
        return;
    bool ok = true;
    const bool ran =
        platform_.run_exclusive(label, [&] { ok = platform_.recorder().run_action(ctx_, action); });
    if (!ran)
        show_status(tr("Still busy with the current step; \"%1\" was not started.").arg(qs(label)),
                    5000);
    else if (platform_.last_cancelled())
        show_status(tr("\"%1\" was cancelled; nothing was reported.").arg(qs(label)), 8000);
    else if (!ok)
        show_status(tr("\"%1\" stopped with an error; see Messages.").arg(qs(label)));
    else
        show_status(tr("\"%1\" done.").arg(qs(label)), 5000);
    if (ran)
        after(action, ok && !platform_.last_cancelled());
}

// ---- Safety nets and comforts around the buttons' actions ----

bool MainWindow::confirm(const std::string& action) {
    if (action == "LoadTemplate" && !platform_.answers_file_dialogs()) {
        // One dialog names the six files; the load then reads them in its own order.
        TemplateDialog dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        std::deque<std::optional<std::string>> answers;
        for (const std::optional<std::string>& f : dialog.files())
            answers.push_back(f);
        while (!answers.empty() && !answers.back())
            answers.pop_back();
        if (answers.empty())
            return false;
        platform_.answer_open_dialogs(answers);
        return true;
    }
    if (action != "Clear&reset")
        return true;
    bool loaded = false;
    for (const char* name : {"data1", "data2", "data1g", "data2g", "ubee2"})
        loaded = loaded || !ctx_.vars.empty(name);
    if (!loaded)
        return true;
    QMessageBox box(QMessageBox::Question, tr("Clear and reset"),
                    tr("Forget the loaded blocks and the analysis, and clear the plot and the "
                       "results?"),
                    QMessageBox::NoButton, this);
    box.setObjectName("ClearQuestion");
    QPushButton* clear = box.addButton(tr("&Clear"), QMessageBox::DestructiveRole);
    clear->setObjectName("ClearConfirm");
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == clear;
}

void MainWindow::after(const std::string& action, bool ok) {
    refresh_block2_captions();
    if (action == "Clear&reset" && ok) {
        // Nothing of the forgotten analysis stays on screen.
        platform_.figure().clear();
        platform_.figure().changed();
        platform_.results_window().report().set_string("");
        picture_shown_ = false;
    } else if (action == "LoadTemplate") {
        report_templates();
    } else if (action == "ShowAxis") {
        picture_shown_ = ok;
    } else if (action == "DoSVD2" && ok) {
        picture_shown_ = false;
    } else if ((action == "AxisUp" || action == "AxisDown") && ok && picture_shown_) {
        // The new axis number is worth seeing at once.
        press("ShowAxis", "Show");
    }
}

void MainWindow::refresh_block2_captions() {
    // Told from the summary the load wrote, so each group's block 2 keeps its own kind.
    for (auto& [load, caption] : block2_kind_) {
        const Control* box = control(load == "LoadG1B2" ? "FileBox2" : "FileBox4");
        const std::string summary = box ? box->string() : std::string();
        if (summary.rfind("Block2-Not LM", 0) == 0)
            caption->setText(tr("Block 2: variables"));
        else if (summary.rfind("Block2-LM", 0) == 0)
            caption->setText(tr("Block 2: landmarks"));
        else
            caption->clear();
    }
}

void MainWindow::report_templates() {
    static const char* const variables[] = {"templatea", "clist2", "clist2b",
                                            "templateb", "clist4", "clist4b"};
    std::string summary = "Templates:";
    for (size_t i = 0; i < 6; ++i) {
        const Matrix& m = ctx_.vars.matrix(variables[i]);
        // A template is one configuration row (x y pairs and a size); a list one number per
        // landmark.
        const bool outline = i % 3 == 0;
        const long n = static_cast<long>(m.size());
        summary += std::string("\n  ") + TemplateDialog::roles()[i] + ": " +
                   (n == 0    ? std::string("not loaded")
                    : outline ? std::to_string(n / 2) + " points"
                              : std::to_string(n) + " landmarks");
    }
    platform_.message(summary);
}

void MainWindow::load_dropped_file(const std::string& action, const std::string& path) {
    if (platform_.busy()) {
        show_status(tr("Still busy with the current step; the file was not loaded."), 5000);
        return;
    }
    platform_.answer_open_dialogs({path});
    QPushButton* b = button(action);
    press(action, b ? b->text().toStdString() : action);
}

void MainWindow::accept_drops_on_summaries() {
    static const char* const boxes[][2] = {{"FileBox1", "LoadG1B1"},
                                           {"FileBox2", "LoadG1B2"},
                                           {"FileBox3", "LoadG2B1"},
                                           {"FileBox4", "LoadG2B2"}};
    for (const auto& [tag, action] : boxes) {
        auto it = controls_.find(tag);
        if (it == controls_.end())
            continue;
        accept_file_drops(*it->second.widget,
                          [this, action = std::string(action)](const std::string& path) {
                              load_dropped_file(action, path);
                          });
    }
}

void MainWindow::note_recent_session(const std::string& path) {
    note_recent_file(RecentKind::Session, qs(path));
}

void MainWindow::fill_recent_menus() {
    recent_sessions_->clear();
    for (const QString& p : recent_files(RecentKind::Session))
        recent_sessions_->addAction(p, this,
                                    [this, p] { open_session(platform_, ctx_, p.toStdString()); });
    recent_sessions_->setEnabled(!recent_sessions_->isEmpty());
    recent_folders_->clear();
    for (const QString& p : recent_files(RecentKind::DataFolder))
        recent_folders_->addAction(p, this, [this, p] {
            // The next file dialog opens there.
            QDir::setCurrent(p);
            show_status(tr("File dialogs now open in %1").arg(p), 5000);
        });
    recent_folders_->setEnabled(!recent_folders_->isEmpty());
}

void MainWindow::build_diagnostics_view() {
    diagnostics_ = new QPlainTextEdit;
    diagnostics_->setObjectName("Diagnostics");
    diagnostics_->setReadOnly(true);
    diagnostics_->setFont(monospace_font());
    diagnostics_->setMaximumBlockCount(kDiagnosticLines);
    diagnostics_->setLineWrapMode(QPlainTextEdit::NoWrap);
    diagnostics_dock_ = new QDockWidget(tr("Diagnostics"), this);
    diagnostics_dock_->setObjectName("DiagnosticsView");
    diagnostics_dock_->setWidget(diagnostics_);
    addDockWidget(Qt::BottomDockWidgetArea, diagnostics_dock_);
    diagnostics_dock_->hide();
    connect(diagnostics_dock_, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (!shown || diagnostics_waiting_.empty())
            return;
        QStringList lines;
        for (QString& l : diagnostics_waiting_)
            lines << std::move(l);
        diagnostics_waiting_.clear();
        diagnostics_->appendPlainText(lines.join('\n'));
    });
}

namespace {

// Closing the dock closes the window inside it, so the platform knows it is gone.
class DockCloseForwarder : public QObject {
  public:
    DockCloseForwarder(QDockWidget& dock, QWidget& inner) : QObject(&dock), inner_(inner) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            inner_.close();
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget& inner_;
};

}  // namespace

void MainWindow::dock_results(QWidget& results) {
    results_dock_ = new QDockWidget(results.windowTitle(), this);
    results_dock_->setObjectName("ResultsDock");
    results_dock_->setWidget(&results);
    results_dock_->installEventFilter(new DockCloseForwarder(*results_dock_, results));
    addDockWidget(Qt::RightDockWidgetArea, results_dock_);
    results_dock_->hide();
}

QPlainTextEdit& MainWindow::diagnostics_pane() {
    return *diagnostics_;
}

void MainWindow::append_console(const std::string& line) {
    if (line.rfind("Error", 0) == 0) {
        append_message(line, true);
        return;
    }
    if (diagnostics_dock_->isVisible()) {
        diagnostics_->appendPlainText(qs(line));
        return;
    }
    diagnostics_waiting_.push_back(qs(line));
    if (diagnostics_waiting_.size() > static_cast<size_t>(kDiagnosticLines))
        diagnostics_waiting_.pop_front();
}

void MainWindow::append_message(const std::string& line, bool error) {
    QTextCharFormat format;
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
    if (platform_.recorder().unsaved()) {
        QMessageBox box(QMessageBox::Question, tr("Quit Tesvane"),
                        tr("Save this session before quitting? A saved session replays the "
                           "whole analysis."),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setObjectName("QuitQuestion");
        box.setDefaultButton(QMessageBox::Save);
        const int answer = box.exec();
        if (answer == QMessageBox::Cancel ||
            (answer == QMessageBox::Save && !save_session(platform_))) {
            event->ignore();
            return;
        }
    }
    platform_.results_window().close();
    event->accept();
}

}  // namespace tesvane::gui
