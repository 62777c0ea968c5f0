#include "app/command_line.hpp"

#include <charconv>
#include <cstdint>
#include <limits>

namespace tesvane {

std::string version_text() {
    return "tesvane " TESVANE_VERSION
           "\n"
           "Copyright (C) 2026 the Tesvane developers.\n"
           "There is NO WARRANTY, to the extent permitted by law.";
}

std::string help_footer() {
    return "\nWith no arguments tesvane opens its windows. Figures are written as .svg, .png,\n"
           ".pdf or .eps, after the file name's extension.\n"
           "Exit status: 0 on success; 1 when a step of the analysis or an action fails\n"
           "(the reason is on standard error); 2 when a script or the command line is wrong.";
}

namespace {

// A whole number from 0 to 2^64 - 1, written in plain digits: the reader of an unsigned option
// would otherwise take "-1" as 2^64 - 1 and cut larger numbers to that value without a word.
CLI::Validator whole_number_up_to_max() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::uint64_t v = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, v);
            if (text.empty() || ec != std::errc() || ptr != end)
                return "must be a whole number from 0 to 18446744073709551615, not \"" + text +
                       "\"";
            return "";
        },
        "");
}

// A file name: an empty one names no file.
CLI::Validator file_name() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return text.empty() ? "the file name is empty" : "";
        },
        "");
}

}  // namespace

RunOptions CommandLine::run_options() const {
    RunOptions o = run_values;
    o.block2_landmarks = block2 == "landmarks";
    o.homology = homology == "on";
    if (*boot_option)
        o.boot = boot;
    if (*permute_option)
        o.permutations = permute;
    if (*show_option)
        o.show = show;
    return o;
}

std::unique_ptr<CommandLine> make_command_line() {
    auto c = std::make_unique<CommandLine>();
    CLI::App& app = c->app;
    // --help shows the subcommands' options as well, as one page.
    app.set_help_flag();
    app.set_help_all_flag("-h,--help", "Print this help (every subcommand and option) and exit");
    app.set_version_flag("--version", version_text(), "Print the version and exit");
    app.footer(help_footer());
    app.require_subcommand(0, 1);

    RunOptions& run = c->run_values;
    CLI::App* r = app.add_subcommand("run", "Run a whole analysis from four data files");
    r->set_help_all_flag();
    r->set_help_flag("-h,--help", "Print this help and exit");
    r->add_option("--g1b1", run.g1b1, "Block 1 (landmarks) of group 1")
        ->check(file_name())
        ->type_name("FILE")
        ->required();
    r->add_option("--g1b2", run.g1b2, "Block 2 of group 1")
        ->check(file_name())
        ->type_name("FILE")
        ->required();
    r->add_option("--g2b1", run.g2b1, "Block 1 (landmarks) of group 2")
        ->check(file_name())
        ->type_name("FILE")
        ->required();
    r->add_option("--g2b2", run.g2b2, "Block 2 of group 2")
        ->check(file_name())
        ->type_name("FILE")
        ->required();
    r->add_option("--block2", c->block2, "What block 2 holds")
        ->check(CLI::IsMember({"landmarks", "variables"}))
        ->capture_default_str();
    r->add_option("--homology", c->homology, "Block-2 landmarks homologous in both groups")
        ->check(CLI::IsMember({"on", "off"}))
        ->capture_default_str();
    c->boot_option = r->add_option("--boot", c->boot, "Bootstrap with N replicates per group")
                         ->type_name("N")
                         ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    r->add_option("--alpha", run.alpha, "Alpha level of the angle bounds")
        ->check(CLI::Number)
        ->capture_default_str();
    r->add_option("--seed", run.seed, "Seed of the bootstrap's random streams")
        ->check(whole_number_up_to_max())
        ->capture_default_str();
    r->add_option("--threads", run.threads, "Bootstrap threads (default: one per core)")
        ->check(CLI::Range(1u, 4096u));
    r->add_option("--json", run.json, "Write the session variables to this JSON file")
        ->check(file_name())
        ->type_name("FILE");
    c->permute_option =
        r->add_option("--permute", c->permute, "Permutation tests with N permutations per group")
            ->type_name("N")
            ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    c->show_option = r->add_option("--show", c->show, "Draw plot type N of Show after the analysis")
                         ->type_name("N")
                         ->check(CLI::Range(1, 25));
    r->add_option("--axis", run.axis, "Axis number of the picture")->capture_default_str();
    r->add_option("--deformat", run.deformat, "Deformation type of the picture (1-9)")
        ->check(CLI::Range(1, 9))
        ->capture_default_str();
    r->add_option("--exaggeration", run.exaggeration, "Factor applied to the axis")
        ->capture_default_str();
    r->add_option("--range", run.range, "Widening factor of the plotted range")
        ->capture_default_str();
    r->add_option("--out", run.figure, "Write the picture to FIG (.svg .png .pdf .eps)")
        ->check(file_name())
        ->type_name("FIG");
    c->run = r;

    CLI::App* s = app.add_subcommand("script", "Replay a recorded session from a script file");
    s->set_help_all_flag();
    s->set_help_flag("-h,--help", "Print this help and exit");
    s->add_option("FILE", c->script_file, "The script (see the README)")
        ->type_name("")
        ->check(file_name())
        ->required();
    c->script = s;
    return c;
}

}  // namespace tesvane
