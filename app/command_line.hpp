// The command line of `tesvane`: its options, their help texts and the values they fill.
//
// The same definition serves the program's parser, its --help and the generated man page.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "app/run_command.hpp"

namespace tesvane {

// What the program does, in a few words (the man page's NAME line).
inline constexpr const char* kProgramSummary =
    "two-block partial least squares of landmark data in two groups";

// Printed by --version: the program line, then copyright and warranty.
std::string version_text();

// The command line as one text a POSIX shell reads back as the same words: a word with
// anything but letters, digits and _ . / = : , + - in single quotes.
std::string shell_words(int argc, const char* const* argv);

// What --help adds after the options (no arguments, exit status).
std::string help_footer();
// What `run --help` adds: the numbered plot and deformation types.
std::string run_help_footer();

struct CommandLine {
    CLI::App app{std::string("Tesvane: ") + kProgramSummary, "tesvane"};
    CLI::App* run = nullptr;
    CLI::App* script = nullptr;

    // Filled by parsing; `run_options()` turns them into the options of `tesvane run`.
    RunOptions run_values;
    std::string block2 = "landmarks";
    std::string homology = "on";
    int boot = 0;
    int permute = 0;
    int show = 0;
    CLI::Option* boot_option = nullptr;
    CLI::Option* permute_option = nullptr;
    CLI::Option* show_option = nullptr;
    std::string script_file;
    bool script_quiet = false;
    bool script_verbose = false;

    RunOptions run_options() const;
};

// CLI::App cannot move, hence the pointer.
std::unique_ptr<CommandLine> make_command_line();

}  // namespace tesvane
