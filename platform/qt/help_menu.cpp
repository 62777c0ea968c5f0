#include "platform/qt/help_menu.hpp"

#include <QDialog>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/controls.hpp"
#include "platform/qt/qt_controls.hpp"

namespace tesvane::gui {

namespace {

// A closable window with a text, plain (monospaced) or rich.
void show_text(QWidget* parent, const QString& title, const QString& text, bool plain,
               const char* name) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    if (plain) {
        auto* view = new QPlainTextEdit(text, dialog);
        view->setReadOnly(true);
        view->setFont(monospace_font());
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(view);
        dialog->resize(520, 560);
    } else {
        auto* view = new QTextBrowser(dialog);
        view->setHtml(text);
        layout->addWidget(view);
        dialog->resize(620, 600);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->show();
}

}  // namespace

QString about_text() {
    return QObject::tr(
               "<h3>Tesvane %1</h3>"
               "<p>Two-block partial least squares of landmark data in two groups.</p>"
               "<p>Copyright &copy; 2026 the Tesvane developers.<br>"
               "Released under the MIT licence: you may use, copy, change and pass it on "
               "freely; it comes with no warranty.</p>"
               "<p>To cite: the Tesvane developers (2026). <i>Tesvane %1: two-block partial "
               "least squares of landmark data in two groups.</i> Name the version you used "
               "and keep the recorded session (File &gt; Save session) with your results.</p>")
        .arg(TESVANE_VERSION);
}

QString getting_started_text() {
    return QObject::tr(
        "<h3>Getting started</h3>"
        "<p>The steps down the left of the main window follow the analysis.</p><ol>"
        "<li><b>Load the data.</b> Load block 1 (landmarks) and block 2 of both groups. Tick "
        "<i>Block 2 holds landmarks</i> before loading a landmark block 2; untick it for a "
        "table of variables. Templates are optional; they are needed only to draw on an "
        "outline.</li>"
        "<li><b>Analyse.</b> Superimposes the landmarks, computes the shape scores and the "
        "two-block PLS of each group; the angles between the groups' axes go to the results "
        "window. Tick the permutation tests to run them with it.</li>"
        "<li><b>Bootstrap.</b> Replicates per group and the alpha level of the angle bounds; "
        "Cancel stops it with nothing reported.</li>"
        "<li><b>Show an axis.</b> Pick the axis number, the plot type and the deformation "
        "type, then Show; Axis up and Axis down redraw the next or previous axis.</li>"
        "<li><b>Save.</b> Write an axis or a reference form to a text file; the results "
        "window's Save appends the report to a text file; the Figure menu saves the "
        "picture.</li></ol>"
        "<h4>Data files</h4>"
        "<p>Plain text, one specimen a line. A landmark file holds <tt>x1 y1 &hellip; xk yk "
        "cs</tt> (cs: the specimen's centroid size); a variable file holds one number per "
        "variable, specimens in the same order as block 1 of the same group. Numbers are "
        "separated by blanks, commas or tabs; <tt>%</tt> starts a comment; the data end at "
        "the first empty line.</p>"
        "<p>TPS, NTS and CSV/TSV files are read as well; the format is told from the first "
        "line. See the README for the details of each.</p>"
        "<p>You can also drop a data file on a block's summary box to load it there.</p>");
}

void add_help_menu(QMainWindow& window) {
    QMenu* help = window.menuBar()->addMenu(QObject::tr("&Help"));
    help->addAction(QObject::tr("&Getting started"), &window, [&window] {
        show_text(&window, QObject::tr("Getting started"), getting_started_text(), false,
                  "GettingStarted");
    });
    help->addAction(QObject::tr("&Plot and deformation types"), &window, [&window] {
        show_text(&window, QObject::tr("Plot and deformation types"),
                  QString::fromStdString(plot_types_text()), true, "PlotTypes");
    });
    help->addSeparator();
    help->addAction(QObject::tr("&About Tesvane"), &window, [&window] {
        QMessageBox::about(&window, QObject::tr("About Tesvane"), about_text());
    });
}

}  // namespace tesvane::gui
