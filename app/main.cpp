// The one executable: with no arguments it opens the windows; subcommands run without them.
#include <unistd.h>
#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <iostream>
#include <limits>

#include "app/run_command.hpp"
#include "app/script_runner.hpp"
#include "platform/qt/gui_main.hpp"
#include "platform/render/figure_renderer.hpp"

namespace {

// Figures are drawn with Qt's fonts, which need an application object; without windows the
// offscreen platform serves.
void save_figure_headless(const tesvane::fig::Figure& f, const std::string& path) {
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "tesvane";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    tesvane::render::save_figure(f, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1)
        return tesvane::run_gui(argc, argv);
    CLI::App app{"Tesvane: two-block partial least squares of landmark data in two groups",
                 "tesvane"};
    app.set_version_flag("--version", "tesvane " TESVANE_VERSION);
    app.require_subcommand(0, 1);

    tesvane::RunOptions run;
    std::string block2 = "landmarks";
    std::string homology = "on";
    int boot = 0;
    int show = 0;
    CLI::App* run_cmd = app.add_subcommand("run", "Run a whole analysis from four data files");
    run_cmd->add_option("--g1b1", run.g1b1, "Block 1 (landmarks) of group 1")->required();
    run_cmd->add_option("--g1b2", run.g1b2, "Block 2 of group 1")->required();
    run_cmd->add_option("--g2b1", run.g2b1, "Block 1 (landmarks) of group 2")->required();
    run_cmd->add_option("--g2b2", run.g2b2, "Block 2 of group 2")->required();
    run_cmd->add_option("--block2", block2, "What block 2 holds")
        ->check(CLI::IsMember({"landmarks", "variables"}))
        ->capture_default_str();
    run_cmd->add_option("--homology", homology, "Block-2 landmarks homologous in both groups")
        ->check(CLI::IsMember({"on", "off"}))
        ->capture_default_str();
    CLI::Option* boot_opt =
        run_cmd->add_option("--boot", boot, "Bootstrap with N replicates per group")
            ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    run_cmd->add_option("--alpha", run.alpha, "Alpha level of the angle bounds")
        ->check(CLI::Number)
        ->capture_default_str();
    run_cmd->add_option("--seed", run.seed, "Seed of the bootstrap's random streams")
        ->capture_default_str();
    run_cmd->add_option("--threads", run.threads, "Bootstrap threads (default: one per core)")
        ->check(CLI::Range(1u, 4096u));
    run_cmd->add_option("--json", run.json, "Write the session variables to this JSON file");
    int permute = 0;
    CLI::Option* permute_opt =
        run_cmd->add_option("--permute", permute, "Permutation tests with N permutations per group")
            ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    CLI::Option* show_opt =
        run_cmd->add_option("--show", show, "Draw plot type N of Show after the analysis")
            ->check(CLI::Range(1, 25));
    run_cmd->add_option("--axis", run.axis, "Axis number of the picture")->capture_default_str();
    run_cmd->add_option("--deformat", run.deformat, "Deformation type of the picture (1-9)")
        ->check(CLI::Range(1, 9))
        ->capture_default_str();
    run_cmd->add_option("--exaggeration", run.exaggeration, "Factor applied to the axis")
        ->capture_default_str();
    run_cmd->add_option("--range", run.range, "Widening factor of the plotted range")
        ->capture_default_str();
    run_cmd->add_option("--out", run.figure, "Write the picture to FIG (.svg .png .pdf .eps)");

    std::string script;
    CLI::App* script_cmd =
        app.add_subcommand("script", "Replay a recorded session from a script file");
    script_cmd->add_option("FILE", script, "The script (see the README)")->required();

    CLI11_PARSE(app, argc, argv);

    if (*run_cmd) {
        run.block2_landmarks = block2 == "landmarks";
        run.homology = homology == "on";
        if (*boot_opt)
            run.boot = boot;
        if (*permute_opt)
            run.permutations = permute;
        if (*show_opt)
            run.show = show;
        run.show_progress = isatty(STDERR_FILENO) != 0;
        return tesvane::run_analysis(run, std::cout, std::cerr, save_figure_headless);
    }
    if (*script_cmd)
        return tesvane::run_script(script, std::cout, std::cerr, save_figure_headless);
    std::cout << app.help();
    return 0;
}
