// The one executable: subcommands run the program without windows.
#include <CLI/CLI.hpp>
#include <iostream>

#include "app/run_command.hpp"

int main(int argc, char** argv) {
    CLI::App app{"Tesvane: two-block partial least squares of landmark data in two groups",
                 "tesvane"};
    app.set_version_flag("--version", "tesvane " TESVANE_VERSION);
    app.require_subcommand(0, 1);

    tesvane::RunOptions run;
    std::string block2 = "landmarks";
    CLI::App* run_cmd = app.add_subcommand("run", "Run a whole analysis from four data files");
    run_cmd->add_option("--g1b1", run.g1b1, "Block 1 (landmarks) of group 1")->required();
    run_cmd->add_option("--g1b2", run.g1b2, "Block 2 of group 1")->required();
    run_cmd->add_option("--g2b1", run.g2b1, "Block 1 (landmarks) of group 2")->required();
    run_cmd->add_option("--g2b2", run.g2b2, "Block 2 of group 2")->required();
    run_cmd->add_option("--block2", block2, "What block 2 holds")
        ->check(CLI::IsMember({"landmarks", "variables"}))
        ->capture_default_str();

    CLI11_PARSE(app, argc, argv);

    if (*run_cmd) {
        run.block2_landmarks = block2 == "landmarks";
        return tesvane::run_analysis(run, std::cout, std::cerr);
    }
    std::cout << app.help();
    return 0;
}
