// The entry of tesvane-qt.so: the windows and the figure renderer for the executable.
#include <QGuiApplication>

#include <cstdio>
#include <exception>

#include "app/qt_module.hpp"
#include "platform/qt/gui_main.hpp"
#include "platform/render/figure_export.hpp"

namespace {

// Without windows Qt's own notices (a runtime folder not set, a font substituted) are not the
// program's to report: `--quiet` promises nothing but errors, and a figure written from the
// command line is no reason to explain Qt's set-up. Only Qt's errors reach standard error.
void qt_errors_only(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Figures are drawn with Qt's fonts, which need an application object; without windows the
// offscreen platform serves.
bool save_figure_headless(const tesvane::fig::Figure& f, const std::string& path,
                          std::string& error) {
    try {
        if (!QCoreApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "tesvane";
            static char* argv[] = {name, nullptr};
            qInstallMessageHandler(qt_errors_only);
            static QGuiApplication app(argc, argv);
        }
        tesvane::render::save_figure(f, path);
        return true;
    } catch (const std::exception& e) {
        // The executable has its own copy of the error types: only the text crosses.
        error = e.what();
        return false;
    }
}

const tesvane::QtModule kModule{tesvane::kQtModuleAbi, tesvane::run_gui, save_figure_headless};

}  // namespace

extern "C" __attribute__((visibility("default"))) const tesvane::QtModule* tesvane_qt_module() {
    return &kModule;
}
