#include "app/command_line.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "app/controls.hpp"
#include "io/number_parse.hpp"
#include "platform/error.hpp"

namespace tesvane {

std::string version_text() {
    return "tesvane " TESVANE_VERSION
           "\n"
           "Copyright (C) 2026 the Tesvane developers.\n"
           "Released under the MIT licence: you may use, copy, change and pass it on freely.\n"
           "There is NO WARRANTY, to the extent permitted by law.";
}

std::string shell_words(int argc, const char* const* argv) {
    std::string s;
    for (int i = 0; i < argc; ++i) {
        const std::string w = argv[i];
        const bool plain = !w.empty() && w.find_first_not_of(
                                             "abcdefghijklmnopqrstuvwxyz"
                                             "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                             "0123456789_./=:,+-") == std::string::npos;
        std::string q = "'";
        for (char c : w)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        s += (i ? " " : "") + (plain ? w : q + "'");
    }
    return s;
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

// A value that `parse` takes without an Error; otherwise the Error's text is the refusal.
CLI::Validator parsed_by(void (*parse)(const std::string&), const std::string& name) {
    return CLI::Validator(
        [parse](const std::string& text) {
            try {
                parse(text);
            } catch (const Error& e) {
                return std::string(e.what());
            }
            return std::string();
        },
        name);
}

// A file name: an empty one names no file.
CLI::Validator file_name() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return text.empty() ? "the file name is empty" : "";
        },
        "");
}

// One plain decimal number, as the windows' boxes read it; `ok` says whether it may be taken.
CLI::Validator number_check(const std::string& what, bool (*ok)(double)) {
    return CLI::Validator(
        [ok, what](std::string& text) -> std::string {
            std::vector<double> v;
            try {
                v = parse_numbers(text);
            } catch (const std::exception&) {
            }
            if (v.size() != 1 || !std::isfinite(v[0]))
                return "\"" + text + "\" is not a number";
            if (!ok(v[0]))
                return "\"" + text + "\" is not " + what;
            return {};
        },
        what);
}

bool any_number(double) {
    return true;
}
bool positive(double v) {
    return v > 0;
}
bool open_unit(double v) {
    return v > 0 && v < 1;
}
bool axis_number(double v) {
    return v >= 1 && v == std::floor(v) && v <= 1e6;
}

}  // namespace

std::string run_help_footer() {
    return "\n" + plot_types_text();
}

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

namespace {

// --quiet and --verbose, which exclude each other.
void add_output_flags(CLI::App& sub, bool& quiet, bool& verbose) {
    CLI::Option* q = sub.add_flag("-q,--quiet", quiet,
                                  "Nothing on standard error but errors: no progress, no messages");
    CLI::Option* v = sub.add_flag("-v,--verbose", verbose,
                                  "Diagnostic lines of every step on standard error as well");
    q->excludes(v);
}

}  // namespace

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
    r->footer(run_help_footer());
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
    r->add_option("--alpha", run.alpha, "Alpha level of the angle bounds, between 0 and 1")
        ->check(number_check("between 0 and 1", open_unit))
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
                         ->check(CLI::Range(1, 27));
    r->add_option("--axis", run.axis, "Axis number of the picture (1, 2, ...)")
        ->check(number_check("an axis number (1, 2, ...)", axis_number))
        ->capture_default_str();
    r->add_option("--deformat", run.deformat, "Deformation type of the picture (1-9)")
        ->check(CLI::Range(1, 9))
        ->capture_default_str();
    r->add_option("--exaggeration", run.exaggeration, "Factor applied to the axis")
        ->check(number_check("a number", any_number))
        ->capture_default_str();
    r->add_option("--magnitude", run.magnitude,
                  "Where the target lies along the axis: factor:E (E times the unit axis, as "
                  "--exaggeration), sd:K (K SD of the scores) or range (the largest score)")
        ->type_name("M")
        ->check(parsed_by([](const std::string& t) { parse_magnitude(t); }, "M"));
    r->add_option("--range", run.range, "Widening factor of the plotted range (above 0)")
        ->check(number_check("a number above 0", positive))
        ->capture_default_str();
    r->add_option("--out", run.figure, "Write the picture of --show to FIG (.svg .png .pdf .eps)")
        ->check(file_name())
        ->type_name("FIG")
        ->needs(c->show_option);
    r->add_option("--size", run.size,
                  "Size of the written picture, WIDTHxHEIGHT in mm, in or px (default 85x85mm)")
        ->type_name("SIZE")
        ->check(parsed_by([](const std::string& t) { fig::parse_export_size(t, 300); }, "SIZE"));
    r->add_option("--dpi", run.dpi, "Resolution of a PNG picture and of a size in px")
        ->type_name("N")
        ->check(CLI::Range(10.0, 10000.0))
        ->capture_default_str();
    r->add_option("--template", run.templates,
                  "Template outline: once for both groups or once per group")
        ->type_name("FILE")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    r->add_option("--clist", run.clists,
                  "Correspondence list of the template: once for both groups or once per group")
        ->type_name("FILE")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    r->add_option("--names", run.names,
                  "The groups' names in figures, NAME1,NAME2 (default: the block-1 files' names)")
        ->type_name("NAMES")
        ->check(parsed_by([](const std::string& t) { split_group_names(t); }, "NAMES"));
    r->add_option("--report", run.report, "Write the report (self-contained HTML) to FILE")
        ->check(file_name())
        ->type_name("FILE");
    r->add_option("--scores", run.scores, "Write every specimen's PLS scores to FILE (CSV)")
        ->check(file_name())
        ->type_name("FILE");
    add_output_flags(*r, c->run_values.quiet, c->run_values.verbose);
    c->run = r;

    CLI::App* s = app.add_subcommand("script", "Replay a recorded session from a script file");
    s->set_help_all_flag();
    s->set_help_flag("-h,--help", "Print this help and exit");
    s->add_option("FILE", c->script_file, "The script (see the README)")
        ->type_name("")
        ->check(file_name())
        ->required();
    add_output_flags(*s, c->script_quiet, c->script_verbose);
    c->script = s;
    return c;
}

}  // namespace tesvane
