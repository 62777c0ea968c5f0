#include "platform/qt/qt_platform.hpp"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QScreen>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <limits>

#include "app/Tesvane6i.hpp"
#include "figure/figure_units.hpp"
#include "io/atomic_file.hpp"
#include "platform/error.hpp"
#include "platform/qt/main_window.hpp"
#include "platform/qt/plot_widget.hpp"
#include "platform/qt/recent_files.hpp"
#include "platform/qt/results_window.hpp"
#include "platform/render/figure_export.hpp"

namespace tesvane::gui {

namespace {

// Quick steps finish without a dialog flashing up.
constexpr qint64 kProgressDelayMs = 300;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString dialog_filter(const std::string& filter) {
    // "*.*" asks for every file; taken literally on Unix it would hide names without a dot.
    if (filter.empty() || filter == "*.*" || filter == "*")
        return QObject::tr("All files (*)");
    return QObject::tr("Files (%1);;All files (*)").arg(qs(filter));
}

// The wait cursor of a running action is wrong while the user is asked something.
class BusyCursorPause {
  public:
    BusyCursorPause() : paused_(QGuiApplication::overrideCursor() != nullptr) {
        if (paused_)
            QGuiApplication::restoreOverrideCursor();
    }
    ~BusyCursorPause() {
        if (paused_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    BusyCursorPause(const BusyCursorPause&) = delete;
    BusyCursorPause& operator=(const BusyCursorPause&) = delete;

  private:
    bool paused_;
};

// Escape pressed anywhere in the program ends a wait for a click.
class EscapeWatcher : public QObject {
  public:
    explicit EscapeWatcher(QEventLoop& loop) : loop_(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            loop_.quit();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QEventLoop& loop_;
};

}  // namespace

void move_onto_screen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    const QSize margins = frame.size() - window.size();
    if (frame.width() > avail.width() || frame.height() > avail.height()) {
        window.resize(std::min(frame.width(), avail.width()) - margins.width(),
                      std::min(frame.height(), avail.height()) - margins.height());
        frame = window.frameGeometry();
    }
    QPoint p = frame.topLeft();
    p.setX(std::clamp(p.x(), avail.left(), avail.right() + 1 - frame.width()));
    p.setY(std::clamp(p.y(), avail.top(), avail.bottom() + 1 - frame.height()));
    window.move(p);
}

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    figure_.on_change(nullptr);
}

void QtPlatform::build_windows(AppContext& ctx) {
    ctx_ = &ctx;
    main_ = std::make_unique<MainWindow>(*this, ctx);
    results_ = std::make_unique<ResultsWindow>(
        [this] { run_exclusive("Save the report", [this] { recorder_.run(*ctx_, "AuxBoxsw"); }); },
        [this] { results_open_ = false; });
    // The figure's size is the plot's on screen, in whatever units the figure uses, so the
    // commands that enlarge the axes for a copy lay them out for the picture that is copied.
    QObject::connect(&main_->plot(), &PlotWidget::resized, main_.get(), [this](QSize size) {
        try {
            const fig::Position px = convert_position(figure_.position, figure_.units, "pixels");
            figure_.position =
                convert_position({px[0], px[1], double(size.width()), double(size.height())},
                                 "pixels", figure_.units);
        } catch (const std::exception&) {
            // Units without a physical size keep the figure's size as it was.
        }
    });
    main_->dock_results(*results_);
    figure_.on_change([this] {
        if (main_) {
            main_->plot().sync_pointer();
            main_->plot().update();
        }
    });
}

bool QtPlatform::run_exclusive(const std::string& what, const std::function<void()>& fn) {
    if (busy_)
        return false;
    busy_ = true;
    cancel_requested_ = false;
    if (main_)
        main_->set_busy(what);
    // Reset even if fn throws: a stuck busy flag would lock every button for good.
    struct Done {
        QtPlatform& p;
        ~Done() {
            p.last_cancelled_ = p.cancel_requested_;
            p.open_answers_.clear();
            p.end_progress();
            p.busy_ = false;
            p.cancel_requested_ = false;
            if (p.main_)
                p.main_->set_busy("");
        }
    } done{*this};
    try {
        fn();
    } catch (const std::exception& e) {
        console(std::string("Error: ") + e.what());
    } catch (...) {
        console("Error: an unknown failure ended the action");
    }
    return true;
}

void QtPlatform::abandon_waits() {
    cancel_requested_ = true;
    if (click_loop_)
        click_loop_->quit();
    if (QWidget* modal = QApplication::activeModalWidget())
        if (modal != progress_)
            modal->close();
}

Control* QtPlatform::find_control(const std::string& tag) {
    if (main_)
        if (Control* c = main_->control(tag))
            return c;
    if (results_ && results_open_ && tag == results_->report_text().objectName().toStdString())
        return &results_->report();
    return nullptr;
}

std::optional<FileChoice> QtPlatform::file_dialog(FileDialogKind kind, const std::string& title,
                                                  const std::string& filter) {
    if (kind == FileDialogKind::Open && !open_answers_.empty()) {
        const std::optional<std::string> answer = open_answers_.front();
        open_answers_.pop_front();
        if (!answer)
            return std::nullopt;
        const QFileInfo info(qs(*answer));
        return FileChoice{QDir::toNativeSeparators(info.absolutePath()).toStdString(),
                          info.fileName().toStdString()};
    }
    if (file_hook_)
        return file_hook_(kind, title);
    BusyCursorPause pause;
    QWidget* parent = main_.get();
    const QString start = QDir::currentPath();
    const QString path =
        kind == FileDialogKind::Open
            ? QFileDialog::getOpenFileName(parent, qs(title), start, dialog_filter(filter))
            : QFileDialog::getSaveFileName(parent, qs(title), start, dialog_filter(filter));
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (kind == FileDialogKind::Open)
        note_recent_file(RecentKind::DataFolder, info.absolutePath());
    return FileChoice{QDir::toNativeSeparators(info.absolutePath()).toStdString(),
                      info.fileName().toStdString()};
}

std::optional<FileChoice> QtPlatform::open_file_dialog(const std::string& title,
                                                       const std::string& filter) {
    return file_dialog(FileDialogKind::Open, title, filter);
}

std::optional<FileChoice> QtPlatform::save_file_dialog(const std::string& title,
                                                       const std::string& filter) {
    return file_dialog(FileDialogKind::Save, title, filter);
}

void QtPlatform::show_message(const std::string& text) {
    std::cout << "[message] " << text << std::endl;
    if (main_)
        main_->append_message(text);
    auto* box = new QMessageBox(QMessageBox::Information, QObject::tr("Tesvane"), qs(text),
                                QMessageBox::Ok, main_.get());
    box->setObjectName("TesvaneMessage");
    box->setModal(false);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

std::optional<std::string> QtPlatform::input_dialog(const std::string& title,
                                                    const std::string& prompt,
                                                    const std::string& default_answer) {
    BusyCursorPause pause;
    QInputDialog dialog(main_.get());
    dialog.setWindowTitle(qs(title));
    dialog.setLabelText(qs(prompt));
    dialog.setTextValue(qs(default_answer));
    // Wide enough for the whole title: window managers cut a long one short.
    const int title_width = dialog.fontMetrics().horizontalAdvance(qs(title)) + 160;
    dialog.setMinimumWidth(std::min(title_width, 900));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<Click> QtPlatform::click_in_axes() {
    // Nobody could click into a hidden plot; waiting would hang the action.
    if (!main_ || !main_->isVisible() || cancel_requested_)
        return std::nullopt;
    PlotWidget& plot = main_->plot();
    QEventLoop loop;
    std::optional<Click> result;
    const QMetaObject::Connection c =
        QObject::connect(&plot, &PlotWidget::pressed, &loop, [&](double x, double y, int b) {
            result = Click{x, y, b};
            loop.quit();
        });
    EscapeWatcher escape(loop);
    qApp->installEventFilter(&escape);
    BusyCursorPause pause;
    plot.set_waiting_for_click(true);
    click_loop_ = &loop;
    loop.exec();
    click_loop_ = nullptr;
    plot.set_waiting_for_click(false);
    qApp->removeEventFilter(&escape);
    QObject::disconnect(c);
    return result;
}

void QtPlatform::console(const std::string& line) {
    std::cout << line << std::endl;
    if (main_)
        main_->append_console(line);
}

void QtPlatform::message(const std::string& text) {
    std::cout << text << std::endl;
    if (main_)
        main_->append_message(text);
}

void QtPlatform::open_results_window() {
    if (!results_)
        return;
    if (!results_open_) {
        // A closed window comes back as a fresh one: no old report.
        results_->report().set_string("");
        results_open_ = true;
    }
    results_->show();
    if (QDockWidget* dock = main_ ? main_->results_dock() : nullptr) {
        const bool first = !dock->isVisible() && !dock->isFloating();
        dock->show();
        // A report's lines fit (or wrap) in this width; the plot keeps the rest.
        if (first)
            main_->resizeDocks({dock}, {400}, Qt::Horizontal);
        dock->raise();
        if (dock->isFloating())
            move_onto_screen(*dock);
        return;
    }
    results_->raise();
    results_->activateWindow();
    move_onto_screen(*results_);
}

bool QtPlatform::progress(double fraction, const std::string& what) {
    if (!std::isfinite(fraction))
        fraction = 0;
    fraction = std::clamp(fraction, 0.0, 1.0);
    if (fraction >= 1) {
        end_progress();
        return !cancel_requested_;
    }
    if (!progress_) {
        progress_ = new QProgressDialog(qs(what), QObject::tr("Cancel"), 0, 1000, main_.get());
        progress_->setObjectName("TesvaneProgress");
        progress_->setWindowTitle(QObject::tr("Tesvane"));
        progress_->setWindowModality(Qt::WindowModal);
        // Shown by us after a fixed delay, never by the dialog's own guess of the time left.
        progress_->setMinimumDuration(std::numeric_limits<int>::max());
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->hide();
        progress_clock_.start();
    }
    if (!progress_->isVisible() && progress_clock_.elapsed() >= kProgressDelayMs)
        progress_->show();
    progress_->setLabelText(qs(what));
    progress_->setValue(static_cast<int>(std::lround(fraction * 1000)));
    QCoreApplication::processEvents();
    if (progress_ && progress_->wasCanceled())
        cancel_requested_ = true;
    return !cancel_requested_;
}

void QtPlatform::end_progress() {
    if (!progress_)
        return;
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
}

void QtPlatform::copy_figure_to_clipboard() {
    // The picture pasted into a document is the exported one, at the export size.
    const fig::ExportSize& s = figure_.export_size;
    auto mime = std::make_unique<QMimeData>();
    mime->setData("image/svg+xml", render::figure_svg(figure_, s.width_pt, s.height_pt));
    mime->setImageData(render::figure_image(figure_, s.width_pt, s.height_pt, s.dpi / 72));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

void QtPlatform::save_figure_file(const std::string& path, const std::string& format) {
    std::filesystem::path target(path);
    std::string ext = target.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "." + format) {
        render::save_figure(figure_, path);
        return;
    }
    // The renderer picks the type by the extension: write under a unique temporary name that
    // has it, then rename, so the file the user named is never left half written.
    write_file_atomically_by(path, "." + format,
                             [&](const std::string& temp) { render::save_figure(figure_, temp); });
}

bool QtPlatform::save_figure_to(const std::string& path) {
    std::filesystem::path p(path);
    if (!p.has_extension())
        p += ".png";
    try {
        render::save_figure(figure_, p.string());
        message("Figure saved to " + p.string());
        recorder_.note_saved_figure(p.string(), figure_.export_size);
        return true;
    } catch (const std::exception& e) {
        message_box(std::string("The figure was not saved: ") + e.what());
        return false;
    }
}

void QtPlatform::save_figure_as() {
    const std::optional<FileChoice> choice =
        save_file_dialog("Save figure as (.svg, .pdf, .png or .eps)", "*.svg *.pdf *.png *.eps");
    if (!choice)
        return;
    std::error_code ec;
    std::filesystem::current_path(choice->folder, ec);
    save_figure_to(choice->path());
}

}  // namespace tesvane::gui
