// The one executable: with no arguments it opens the windows; subcommands run without them.
//
// Qt and cairo live in tesvane-qt.so, opened only for the windows and for writing figures, so
// that the commands without windows start quickly.
#include <unistd.h>

#include <iostream>

#include "app/command_line.hpp"
#include "app/qt_module.hpp"
#include "app/run_command.hpp"
#include "app/script_runner.hpp"
#include "platform/error.hpp"

namespace {

void save_figure_headless(const tesvane::fig::Figure& f, const std::string& path) {
    std::string error;
    if (!tesvane::qt_module().save_figure(f, path, error))
        throw tesvane::Error(error);
}

int run_gui(int argc, char** argv) {
    try {
        return tesvane::qt_module().run_gui(argc, argv);
    } catch (const tesvane::Error& e) {
        std::cerr << "tesvane: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1)
        return run_gui(argc, argv);
    const std::unique_ptr<tesvane::CommandLine> cli = tesvane::make_command_line();
    CLI::App& app = cli->app;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version end here too, with status 0; a wrong command line gives 2.
        return app.exit(e) == 0 ? 0 : 2;
    }

    if (*cli->run) {
        tesvane::RunOptions run = cli->run_options();
        run.show_progress = isatty(STDERR_FILENO) != 0;
        run.command_line = tesvane::shell_words(argc, argv);
        return tesvane::run_analysis(run, std::cout, std::cerr, save_figure_headless);
    }
    if (*cli->script)
        return tesvane::run_script(
            cli->script_file, std::cout, std::cerr, save_figure_headless,
            {cli->script_quiet, cli->script_verbose, isatty(STDERR_FILENO) != 0});
    std::cout << app.help("", CLI::AppFormatMode::All);
    return 0;
}
