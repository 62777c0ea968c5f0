// Hostile and careless input through the real load actions and the analysis: each case gives the
// message the user sees, and nothing of the session or the file summaries may change.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "app_fixture.hpp"
#include "platform/session.hpp"

namespace tesvane::test {
namespace {

enum class Prepare { file, missing, folder, no_read_permission, long_line };

// A file the load action must refuse with `message` ("{f}" stands for its path), or take when
// the message is empty.
struct LoadFault {
    const char* name;
    std::string content;
    std::string message;
    const char* action = "LoadG1B1";
    Prepare prepare = Prepare::file;
    bool variable2 = false;  // block 2 holds variables
    const char* file = "";   // file name, when it matters
};

// A file that loads but on which DoSVD2 must fail with `message`, or succeed with `report` in its
// report; `partner` is loaded first by `partner_action`, for faults that need both blocks or both
// groups.
struct AnalysisFault {
    const char* name;
    const char* action;
    std::string content;
    const char* partner_action;
    std::string partner;
    std::string message;
    std::string report = "";
    bool variable2 = false;
};

// Test names in listings and failures.
void PrintTo(const LoadFault& c, std::ostream* os) {
    *os << c.name;
}
void PrintTo(const AnalysisFault& c, std::ostream* os) {
    *os << c.name;
}

long peak_memory_kb() {
    struct rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::string expand(std::string m, const std::string& path) {
    for (std::size_t at; (at = m.find("{f}")) != std::string::npos;)
        m.replace(at, 3, path);
    return m;
}

class BadInput : public AppTest {
  protected:
    // Four good blocks: 8 and 7 specimens, 4 landmarks in block 1, 3 in block 2 (or 3 variables).
    void load_good_blocks(bool variable2) {
        ui.control("Morph2").set_value(variable2 ? 0 : 1);
        ASSERT_TRUE(load("LoadG1B1", write("g1b1.txt", polygon_block(8, 4, 1))));
        ASSERT_TRUE(load("LoadG2B1", write("g2b1.txt", polygon_block(7, 4, 2))));
        ASSERT_TRUE(load("LoadG1B2", write("g1b2.txt", variable2 ? variable_block(8, 3)
                                                                 : polygon_block(8, 3, 3))));
        ASSERT_TRUE(load("LoadG2B2", write("g2b2.txt", variable2 ? variable_block(7, 3)
                                                                 : polygon_block(7, 3, 4))));
    }

    // The session and the file summaries.
    std::pair<std::string, std::string> state() {
        std::string boxes;
        for (const char* tag : {"FileBox1", "FileBox2", "FileBox3", "FileBox4"})
            boxes += control(tag) + "|";
        return {session_json(ctx.vars, JsonScope::everything), boxes};
    }

    // What the user was told since mark(): the first message box, else the last console line.
    void mark() {
        messages_seen_ = ui.messages().size();
        console_seen_ = ui.console_lines().size();
    }
    bool told_nothing() const { return ui.messages().size() == messages_seen_; }
    std::string told() const {
        return !told_nothing()                             ? ui.messages()[messages_seen_]
               : ui.console_lines().size() > console_seen_ ? last_console()
                                                           : std::string();
    }

  private:
    std::size_t messages_seen_ = 0, console_seen_ = 0;
};

class LoadFaultTest : public BadInput, public ::testing::WithParamInterface<LoadFault> {};
class AnalysisFaultTest : public BadInput, public ::testing::WithParamInterface<AnalysisFault> {};

TEST_P(LoadFaultTest, ClearMessageAndSessionKept) {
    const LoadFault& c = GetParam();
    load_good_blocks(c.variable2);
    const std::filesystem::path f =
        write(*c.file ? c.file : std::string(c.name) + ".txt", c.content);
    if (c.prepare == Prepare::missing) {
        std::filesystem::remove(f);
    } else if (c.prepare == Prepare::folder) {
        std::filesystem::remove(f);
        std::filesystem::create_directory(f);
    } else if (c.prepare == Prepare::long_line) {
        // 50 MB of numbers and no line end, written in pieces so that only the reader could
        // make the test's memory grow.
        std::ofstream out(f, std::ios::binary);
        for (int i = 0; i < 160 << 16; ++i)
            out << "1.25 ";
    } else if (c.prepare == Prepare::no_read_permission) {
        if (::geteuid() == 0)
            GTEST_SKIP() << "permissions do not stop root";
        std::filesystem::permissions(f, std::filesystem::perms::none);
    }
    mark();
    const auto before = state();
    const long peak_kb = peak_memory_kb();
    load(c.action, f);
    EXPECT_LT(peak_memory_kb() - peak_kb, 64 * 1024) << "the reader held the whole file";
    if (c.message.empty()) {
        EXPECT_TRUE(told_nothing()) << told();
        // The new block was taken, under its own name.
        EXPECT_NE(state().second.find("File: " + f.filename().string() + " \n"), std::string::npos)
            << state().second;
    } else {
        EXPECT_EQ(told(), expand(c.message, f.string()));
        EXPECT_TRUE(state() == before);
    }
}

TEST_P(AnalysisFaultTest, ClearMessageAndNoResult) {
    const AnalysisFault& c = GetParam();
    load_good_blocks(c.variable2);
    if (c.partner_action) {
        ASSERT_TRUE(load(c.partner_action, write("partner.txt", c.partner))) << told();
    }
    const std::filesystem::path f = write(std::string(c.name) + ".txt", c.content);
    mark();
    ASSERT_TRUE(load(c.action, f)) << told();
    ASSERT_TRUE(told_nothing()) << told();
    const auto before = state();
    const bool ok = run_action(ctx, "DoSVD2");
    if (c.message.empty()) {
        EXPECT_TRUE(ok) << told();
        EXPECT_TRUE(told_nothing()) << told();
        EXPECT_FALSE(ctx.vars.empty("ubee2g"));
        const std::string report = control("AuxResults");
        EXPECT_NE(report.find(c.report), std::string::npos) << report;
        EXPECT_EQ(report.find("nan"), std::string::npos) << report;
        return;
    }
    EXPECT_EQ(told(), expand(c.message, f.string()));
    // The analysis may already have superimposed the blocks on the pooled reference; what it
    // must not leave behind is a result.
    EXPECT_TRUE(ctx.vars.empty("ubee2g"));
    EXPECT_EQ(state().second, before.second);
}

const std::string kLandmarkFile =
    "{f}: a landmark file needs 2k+1 numbers a line (x1 y1 ... xk yk cs); it has ";
const std::string kCannotOpen = "Cannot open the file {f}";

std::string cr_only(std::string s) {
    std::replace(s.begin(), s.end(), '\n', '\r');
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadFaultTest,
    ::testing::ValuesIn(std::vector<LoadFault>{
        {"empty", "", "{f}: the file is empty"},
        {"only_newline", "\n", "{f}, line 1: the first line holds no numbers"},
        {"binary_junk", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18),
         "{f}, line 1: \"\\x89PNG\" is not a number"},
        {"utf8_bom", "\xEF\xBB\xBF" + polygon_block(8, 4, 5), ""},
        {"utf16", std::string("\xFF\xFE\x31\0 \0\x32\0\n\0", 10) /* "1 2\n" */,
         "{f}, line 1: not a plain text file (binary or UTF-16?)"},
        {"cr_only", cr_only(polygon_block(8, 4, 6)), ""},
        {"one_50MB_line", "", "{f}, line 1: the line is longer than 4 MiB", "LoadG1B1",
         Prepare::long_line},
        {"nan", polygon_block(2, 4) + "nan 0 1 0 1 1 0 1 1\n",
         "{f}, line 3: \"nan\" is not a number"},
        {"inf", polygon_block(8, 3) + "0 0 1 0 -Inf 1 1\n", "{f}, line 9: \"-Inf\" is not a number",
         "LoadG1B2"},
        {"1e400", "0 0 1 0 1e400 1 0 1 1\n" + polygon_block(3, 4),
         "{f}, line 1: \"1e400\" is out of range", "LoadG2B1"},
        {"ragged", polygon_block(2, 4) + "0 0 1 0 1 1 0\n",
         "{f}, line 3: expected 9 numbers as on line 1, found 7"},
        {"odd_column_count", copies(8, "0 0 1 0 1 1 0 1"), kLandmarkFile + "8", "LoadG1B2"},
        {"decimal_commas", copies(3, "0,5 0,1 1,2 0,3 1,1 1,4 0,2 1,1 1,0"), kLandmarkFile + "18"},
        {"hex_and_expression", "0x10 0 1 0 1+2 1 0 1 1\n", "{f}, line 1: \"0x10\" is not a number"},
        {"zero_size_specimen", polygon_block(3, 4) + "2 2 2 2 2 2 2 2 1\n",
         "{f}: specimen 4: centroid size is 0 (all landmarks coincide)"},
        {"huge_coordinates", "0 0 1e300 0 1e300 1e300 0 1e300 1\n" + polygon_block(4, 4),
         "{f}: specimen 1: centroid size overflows (coordinates are too large)"},
        {"tps_3d", "LM3=1\n1 2 3\n", "{f}, line 1: 3D landmarks are not supported (LM3=)"},
        {"tps_as_variables", "LM=2\n0 0\n1 1\nLM=2\n0 0\n2 1\n",
         "{f}: a TPS file holds landmarks; block 2 is set to variables", "LoadG1B2", Prepare::file,
         true},
        {"missing", "", kCannotOpen, "LoadG1B1", Prepare::missing},
        {"folder", "", kCannotOpen, "LoadG1B1", Prepare::folder},
        {"no_read_permission", polygon_block(8, 4), kCannotOpen, "LoadG1B1",
         Prepare::no_read_permission},
        {"spaces_and_non_ascii", polygon_block(8, 4, 11), "", "LoadG1B1", Prepare::file, false,
         "my data \xC3\xA9t\xC3\xA9 \xE6\x95\xB0.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string kNullAxis = " Block 1= not defined (null axis)";
const std::string kSizes = "The samples sizes do not match, shape and ";
const std::string kSpline = ", so the thin-plate spline is undefined";

INSTANTIATE_TEST_SUITE_P(
    Files, AnalysisFaultTest,
    ::testing::ValuesIn(std::vector<AnalysisFault>{
        {"one_specimen", "LoadG1B1", polygon_block(1, 4), nullptr, "", kSizes + "shape"},
        {"one_specimen_in_both_blocks", "LoadG1B1", polygon_block(1, 4), "LoadG1B2",
         polygon_block(1, 3), "", "SVD 1" + kNullAxis},
        {"two_specimens", "LoadG2B1", polygon_block(2, 4), "LoadG2B2", polygon_block(2, 3), "",
         "SVD 2" + kNullAxis},
        {"all_identical", "LoadG1B1", copies(8, "0 0 1 0 1 1 0 1 1"), nullptr, "", "",
         "SVD 1" + kNullAxis},
        {"duplicated_landmarks", "LoadG1B1", copies(8, "0 0 0 0 1 0 1 1 1"), "LoadG2B1",
         copies(7, "0 0 0 0 1 0 1 1 1"),
         "Error: landmarks 1 and 2 of the reference form coincide" + kSpline},
        {"collinear_landmarks", "LoadG2B1", copies(7, "0 0 1 0 2 0 3 0 1"), "LoadG1B1",
         copies(8, "0 0 1 0 2 0 3 0 1"),
         "Error: the reference form's landmarks are collinear" + kSpline},
        {"constant_variable", "LoadG1B2", copies(8, "1 2 3"), nullptr, "", "",
         "SVD 1 Block 1= ", true},
        {"rows_mismatch", "LoadG2B2", polygon_block(6, 3, 8), nullptr, "", kSizes + "shape"},
        {"rows_mismatch_variables", "LoadG1B2", variable_block(9, 3), nullptr, "",
         kSizes + "variable", "", true},
        {"landmark_counts_differ", "LoadG2B1", polygon_block(7, 5, 9), nullptr, "",
         "Error: Block 1 has 9 columns in group 1 but 11 in group 2; the two "
         "groups cannot be pooled"},
        {"two_landmarks", "LoadG1B2", polygon_block(8, 2, 10), "LoadG2B2", polygon_block(7, 2, 12),
         "Error: the reference form has fewer than 3 landmarks"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tesvane::test
