// Hostile input through the real commands, one table per class: arguments of registered
// functions, the exit status of scripts, numbers typed into controls and options, values that are
// not defined, and the texts of failures.
#include <sstream>
#include <vector>

#include "app/command_line.hpp"
#include "app/run_command.hpp"
#include "app_fixture.hpp"
#include "platform/cformat.hpp"
#include "platform/checked_int.hpp"
#include "platform/error.hpp"
#include "platform/report_number.hpp"
#include "platform/session.hpp"

namespace tesvane::test {
namespace {

// The script lines that load the four blocks write_data() writes.
std::string loads() {
    return "answer file g1b1.txt\naction LoadG1B1\nanswer file g1b2.txt\naction LoadG1B2\n"
           "answer file g2b1.txt\naction LoadG2B1\nanswer file g2b2.txt\naction LoadG2B2\n";
}

struct Case {
    const char* name;
    std::string input;     // a script line, a script, or a control setting
    std::string expected;  // what the user is told (a part of it)
    int status = 1;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

class Hostile : public AppTest {
  protected:
    // Runs a script from the test's folder; its status, with standard error in `err`.
    int script(const std::string& text) {
        const std::filesystem::path p = write("s.tvs", text);
        ScriptTarget target{ctx, [this](DialogAnswer a) { ui.queue(std::move(a)); }, {}, {}};
        std::ostringstream out;
        err.str("");
        return replay_script(p.string(), target, out, err);
    }

    void write_data() {
        write("g1b1.txt", polygon_block(8, 4, 1));
        write("g2b1.txt", polygon_block(7, 4, 2));
        write("g1b2.txt", polygon_block(8, 3, 3));
        write("g2b2.txt", polygon_block(7, 3, 4));
    }
    std::ostringstream err;
};

// ---- Registered functions called with arguments they cannot take -------------------------------

class CallArguments : public Hostile, public ::testing::WithParamInterface<Case> {};

TEST_P(CallArguments, RefusedBeforeTheCall) {
    const Case& c = GetParam();
    EXPECT_EQ(script("call " + c.input + "\n"), 1) << err.str();
    EXPECT_EQ(last_console(), "Error: " + c.expected);
}

const std::string kRow = "\"0 0 1 0 0 1 1\"";  // a configuration row of 3 landmarks

INSTANTIATE_TEST_SUITE_P(
    Table, CallArguments,
    ::testing::ValuesIn(std::vector<Case>{
        {"short_scores", "reversepwb " + kRow + " \"1 2\"",
         "reversepwb: argument 2 must be a 1 × (2k-3) row, with k = 3 as in argument 1, not 1 × 2"},
        {"text_for_a_row", "reversepwarb \"0;0\" 1",
         "reversepwarb: argument 1 must be a 1 × (2k+1) row, not a text"},
        {"reference_of_other_k", "getpsup " + kRow + " \"0 0 1 1 1\"",
         "getpsup: argument 2 must be a 1 × (2k+1) row, with k = 3 as in argument 1, not 1 × 5"},
        {"even_row", "UniArbitrary \"0 0 1 0 0 1\"",
         "UniArbitrary: argument 1 must be a 1 × (2k+1) row, not 1 × 6"},
        {"choice_out_of_range", "UniAxis " + kRow + " 3",
         "UniAxis: argument 2 must be a number from 1 to 2, not 3"},
        {"one_row_list", "templateorient \"0 0 1 0 1\" " + kRow + " " + kRow + " \"1 2\"",
         "templateorient: argument 4 must be a (2 or more) × (2 or more) matrix, not 1 × 2"},
        {"text_for_a_matrix", "showshape \"k.\"",
         "showshape: argument 1 must be a (1 or more) × (1 or more) matrix, not a text"},
        {"text_for_a_number", "aheadw 1 2 3 4 x",
         "aheadw: argument 5 must be one number, not a text"},
        {"huge_landmark_number", "basereg " + kRow + " 1e300 2",
         "basereg: argument 2 must be a number from 1 to 1000000, not 1e+300"},
        {"non_square_values", "eigsort \"1 2\" \"1 2\"",
         "eigsort: argument 2 must be a n × n matrix, with n = 2 as in argument 1, not 1 × 2"},
        {"two_numbers_for_one", "setlinethickness 1 \"1 2\"",
         "setlinethickness: argument 2 must be one number, not 1 × 2 values"},
        {"huge_density", "showpw5 " + kRow + " \"0 0 1\" 1e9",
         "showpw5: argument 3 must be a number from 1 to 500, not 1e+09"},
        {"missing", "getconsensus",
         "Not enough input arguments to getconsensus: argument 1 (a n × (2k+1) matrix) is missing"},
        {"too_many", "centsize 1 2", "Too many input arguments to centsize"},
        {"callback_without_name", "Tesvane6i 5",
         "Tesvane6i: argument 1 must be a text, the name of a function"}}),
    case_name);

// ---- Scripts: the exit status tells whether every step worked -----------------------------------

class ScriptStatus : public Hostile, public ::testing::WithParamInterface<Case> {};

TEST_P(ScriptStatus, ExitStatusAndReason) {
    const Case& c = GetParam();
    write_data();
    write("bad.txt", "1 2 x\n");
    write("g2b1_short.txt", polygon_block(5, 4, 5));
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(script(c.input), c.status) << err.str();
    EXPECT_NE(err.str().find(c.expected), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScriptStatus,
    ::testing::ValuesIn(std::vector<Case>{
        {"all_steps_work", loads() + "action DoSVD2\nprint ShowBox\n", "", 0},
        {"unknown_action", "action Nope\naction Clear&reset\n", "line 1: action Nope failed"},
        {"missing_file", "answer file nowhere.txt\naction LoadG1B1\n",
         "line 2: action LoadG1B1 failed"},
        {"malformed_file", "answer file bad.txt\naction LoadG1B1\n",
         "line 2: action LoadG1B1 failed"},
        {"sample_sizes_differ",
         loads() + "answer file g2b1_short.txt\naction LoadG2B1\naction DoSVD2\n",
         "line 11: action DoSVD2 failed"},
        {"bad_call", "call centsize x\n", "line 1: call centsize failed"},
        {"session_into_a_folder", "session folder\n", "line 1: session folder failed: "},
        {"unanswered_dialog", "action LoadG1B1\n", "s.tvs, line 1: action LoadG1B1 failed"},
        {"unknown_command", "answer cancel\nfrobnicate now\n",
         "s.tvs, line 2: unknown command \"frobnicate\"", 2},
        {"unknown_variable", "call Tesvanesw $ubee3\n",
         "s.tvs, line 1: $ubee3: there is no session variable \"ubee3\"", 2},
        {"unknown_control", "set NoSuchBox String 1\n",
         "line 1: there is no control with the Tag \"NoSuchBox\"", 2},
        {"huge_mouse_button", "answer click 1 2 1e300\n",
         "The mouse button must be a whole number from 1 to 3, not 1e+300", 2}}),
    case_name);

TEST_F(Hostile, ScriptsThatCannotBeReadAreRefused) {
    std::ostringstream out, e;
    EXPECT_EQ(run_script(dir.string(), out, e, {}), 2);
    EXPECT_NE(e.str().find("is a folder, not a file"), std::string::npos) << e.str();
    EXPECT_EQ(run_script("", out, e, {}), 2);
    EXPECT_NE(e.str().find("the script's file name is empty"), std::string::npos) << e.str();
    EXPECT_EQ(run_script((dir / "none.tvs").string(), out, e, {}), 2);
    EXPECT_NE(e.str().find("cannot read the script"), std::string::npos) << e.str();
}

// ---- Numbers typed into controls that no integer holds ------------------------------------------

class ControlNumbers : public Hostile, public ::testing::WithParamInterface<Case> {};

TEST_P(ControlNumbers, RefusedWithTheControlNamed) {
    const Case& c = GetParam();
    write_data();
    ASSERT_EQ(script(loads() + "action DoSVD2\n"), 0) << err.str();
    EXPECT_EQ(script(c.input), c.status) << err.str();
    const std::string told = ui.messages().empty() ? "" : ui.messages().back();
    EXPECT_TRUE(last_console().find(c.expected) != std::string::npos ||
                told.find(c.expected) != std::string::npos)
        << last_console() << " | " << told;
}

const std::string kAxisRange =
    "The axis number (ShowBox) must be a number from -2147483648 to "
    "2147483647, not 1e+300";

INSTANTIATE_TEST_SUITE_P(
    Table, ControlNumbers,
    ::testing::ValuesIn(std::vector<Case>{
        {"axis_up", "set ShowBox String 1e300\naction AxisUp\n", kAxisRange},
        {"axis_down", "set ShowBox String -1e300\naction AxisDown\n",
         "The axis number (ShowBox) must be a number from -2147483648 to 2147483647, not -1e+300"},
        {"score_plot", "set ShowBox String 1e300\nset ReqAxisBox Value 25\naction ShowAxis\n",
         kAxisRange},
        {"save_axis", "set ShowBox String 1e300\nanswer file axis.txt\naction SaveSVDB1G1\n",
         "The axis number \"1e300\" in the Axis box is too large to be an axis"},
        {"deformation_type", "set DeFormat Value 1e300\nset ReqAxisBox Value 3\naction ShowAxis\n",
         "The deformation type (DeFormat) must be a number from 1 to 9, not 1e+300"},
        {"plot_type", "set ReqAxisBox Value -1e300\naction ShowAxis\n", "Fell through case on plot",
         0},
        {"base_landmark", "set BaseBox1 String 1e300\nset ReqAxisBox Value 3\naction ShowAxis\n",
         "The base landmark (BaseBox1) must be a number from 1 to 1000000, not 1e+300"}}),
    case_name);

TEST(CheckedInt, TruncatesInsideTheRangeOnly) {
    struct Row {
        double v;
        long long lo, hi;
        bool whole;
        std::optional<long long> expected;
    };
    const Row rows[] = {
        {2.9, 1, 3, false, 2},
        {-2.9, -3, 3, false, -2},
        {3.5, 1, 3, true, std::nullopt},
        {1e300, 1, 3, false, {}},
        {-1e300, -5, 5, false, {}},
        {0x1p63, -1, 0x7fffffffffffffff, false, {}},
        {-0x1p63, -0x7fffffffffffffff - 1, 0, false, -0x7fffffffffffffff - 1},
        {std::nan(""), 0, 1, false, {}},
        {HUGE_VAL, 0, 1, false, {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(to_integer(r.v, r.lo, r.hi, r.whole), r.expected) << r.v;
}

TEST(CommandLine, SeedOutOfRangeIsRefused) {
    for (const char* seed : {"18446744073709551616", "-1", "1e3", "", "99999999999999999999"}) {
        const auto cli = make_command_line();
        const char* argv[] = {"tesvane", "run", "--g1b1", "a", "--g1b2", "b",
                              "--g2b1",  "c",   "--g2b2", "d", "--seed", seed};
        EXPECT_THROW(cli->app.parse(12, argv), CLI::ParseError) << seed;
    }
    const auto cli = make_command_line();
    const char* argv[] = {"tesvane", "run", "--g1b1", "a", "--g1b2", "b",
                          "--g2b1",  "c",   "--g2b2", "d", "--seed", "18446744073709551615"};
    cli->app.parse(12, argv);
    EXPECT_EQ(cli->run_options().seed, 18446744073709551615ull);
}

// ---- Values that are not defined are said to be so, never printed as nan or inf ----------------

// Group 2 is always 9 specimens of 4 and 3 landmarks (or 3 variables); every run succeeds.
struct RunCase {
    const char* name;
    std::string g1b1, g1b2;
    bool variables;
    std::optional<int> boot, permute;
    std::string expected, also = "";  // parts of standard output
};
void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class UndefinedValues : public Hostile, public ::testing::WithParamInterface<RunCase> {};

TEST_P(UndefinedValues, SaidInWordsWithTheReason) {
    const RunCase& c = GetParam();
    RunOptions o;
    o.g1b1 = write("g1b1.txt", c.g1b1).string();
    o.g1b2 = write("g1b2.txt", c.g1b2).string();
    o.g2b1 = write("g2b1.txt", polygon_block(9, 4, 3)).string();
    o.g2b2 =
        write("g2b2.txt", c.variables ? variable_block(9, 3, 4) : polygon_block(9, 3, 4)).string();
    o.block2_landmarks = !c.variables;
    o.boot = c.boot;
    o.permutations = c.permute;
    o.threads = 1;
    o.json = (dir / "out.json").string();
    std::ostringstream out, e;
    EXPECT_EQ(run_analysis(o, out, e), 0) << e.str();
    EXPECT_FALSE(has_non_finite_word(out.str())) << out.str();
    for (const std::string& part : {c.expected, c.also})
        EXPECT_NE(out.str().find(part), std::string::npos) << part << "\n" << out.str() << e.str();
    EXPECT_FALSE(has_non_finite_word(read(o.json)));
}

const std::string kSame = "0 0 1 0 1.2 1 0.1 1.1 1";  // one 4-landmark shape

INSTANTIATE_TEST_SUITE_P(
    Table, UndefinedValues,
    ::testing::ValuesIn(std::vector<RunCase>{
        {"three_specimens_bootstrap", polygon_block(3, 4, 1), polygon_block(3, 3, 2), false, 40,
         std::nullopt, "not defined (too few specimens for the bootstrap)"},
        {"identical_shapes", copies(8, kSame), polygon_block(8, 3, 2), false, 20, std::nullopt,
         "SVD 1 Block 1= not defined (null axis)",
         "The observed correlation for Group 1 was not defined (zero variance)"},
        {"constant_variables", polygon_block(8, 4, 1), copies(8, "0.1 5 7"), true, std::nullopt, 20,
         "SVD 1 Block 1= not defined (null axis)", "r-PLS (axis 1) = not defined (zero variance)"},
        {"tiny_coordinates", polygon_block(8, 4, 1, 1e-300), polygon_block(8, 3, 2), false,
         std::nullopt, std::nullopt, "SVD 1 Block 1= "}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Texts of failures --------------------------------------------------------------------------

TEST(UserMessage, LibraryTextsAreNotShown) {
    EXPECT_EQ(user_message(Error("the file is empty")), "the file is empty");
    EXPECT_EQ(user_message(std::length_error("cannot create std::vector larger than max_size()")),
              "there is not enough memory for this request");
    EXPECT_EQ(user_message(std::bad_alloc()), "there is not enough memory for this request");
    EXPECT_EQ(user_message(std::filesystem::filesystem_error(
                  "rename", "", std::make_error_code(std::errc::no_such_file_or_directory))),
              "a file name is empty: No such file or directory");
    EXPECT_EQ(user_message(std::out_of_range("map::at")), "an internal failure ended the step");
}

TEST(ReportNumber, NotDefinedWithTheReason) {
    EXPECT_EQ(report_number("%2.5f", 0.25, "zero variance"), "0.25000");
    EXPECT_EQ(report_number("%2.5f", std::nan(""), "zero variance"), "not defined (zero variance)");
    EXPECT_EQ(report_number("%2.3f", -HUGE_VAL), "not defined");
    for (const char* t : {"r = nan", "-nan", "x inf", "INF.", "(-Infinity)"})
        EXPECT_TRUE(has_non_finite_word(t)) << t;
    for (const char* t : {"information", "nano", "infinite", "finance", "not defined"})
        EXPECT_FALSE(has_non_finite_word(t)) << t;
}

TEST_F(Hostile, NonUtf8TextsAreReplacedInJson) {
    ctx.vars.set("ids1", std::string("caf\xE9\nok"));
    const std::string json = session_json(ctx.vars, JsonScope::everything);
    EXPECT_NE(json.find("caf\xEF\xBF\xBD\\nok"), std::string::npos) << json;
}

}  // namespace
}  // namespace tesvane::test
