// Hostile and careless input through the real load actions and the analysis: each case gives the
// message the user sees, and nothing of the session or the file summaries may change.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <string>

#include "app/session.hpp"
#include "app_fixture.hpp"
#include "platform/cformat.hpp"

namespace tesvane::test {
namespace {

// A block of n specimens of a k-landmark shape: a regular polygon with small, fixed
// perturbations (a simple linear congruential sequence), then the centroid size.
std::string block(int n, int k, unsigned seed = 1) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < k; ++j) {
            seed = seed * 1103515245u + 12345u;
            const double dx = static_cast<double>((seed >> 16) % 1000) / 10000.0;
            seed = seed * 1103515245u + 12345u;
            const double dy = static_cast<double>((seed >> 16) % 1000) / 10000.0;
            const double t = 6.283185307179586 * j / k;
            s += cformat("%.4f %.4f ", std::cos(t) + dx, std::sin(t) + dy);
        }
        s += cformat("%.3f\n", 1.0 + 0.01 * i);
    }
    return s;
}

std::string variables(int n, int p) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < p; ++j)
            s += cformat("%g ", std::fmod(7.0 * i + 3.0 * j * j + 1.0, 11.0));
        s += "\n";
    }
    return s;
}

// n copies of one configuration of k landmarks.
std::string copies(int n, const std::string& row) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += row + "\n";
    return s;
}

std::string repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

enum class Prepare { file, folder, no_read_permission, long_line };

// Where the hostile file goes and what happens to it. An empty message means the file must load;
// when the analysis runs, it must then succeed with `report` in its report.
struct Hostile {
    const char* name;
    const char* action;  // the load action that reads the file
    std::function<std::string()> content{};
    std::string message{};  // "{f}" stands for the file's path
    bool analyse = false;   // the fault only shows when DoSVD2 runs
    std::string report{};
    // A second file loaded first, for faults that need both blocks or both groups.
    const char* partner_action = nullptr;
    std::function<std::string()> partner{};
    bool variable2 = false;  // block 2 holds variables
    const char* file = "";   // file name, when it matters
    Prepare prepare = Prepare::file;
};

void PrintTo(const Hostile& c, std::ostream* os) {
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

class BadInputTest : public AppTest, public ::testing::WithParamInterface<Hostile> {
  protected:
    // Four good blocks: 8 and 7 specimens, 4 landmarks in block 1, 3 in block 2 (or 3 variables).
    void load_good_blocks(bool variable2) {
        ui.control("Morph2").set_value(variable2 ? 0 : 1);
        ASSERT_TRUE(load("LoadG1B1", write("g1b1.txt", block(8, 4, 1))));
        ASSERT_TRUE(load("LoadG2B1", write("g2b1.txt", block(7, 4, 2))));
        const std::string b2 = variable2 ? variables(8, 3) : block(8, 3, 3);
        const std::string b2g = variable2 ? variables(7, 3) : block(7, 3, 4);
        ASSERT_TRUE(load("LoadG1B2", write("g1b2.txt", b2)));
        ASSERT_TRUE(load("LoadG2B2", write("g2b2.txt", b2g)));
    }

    struct State {
        std::string session;
        std::string boxes;
        bool operator==(const State&) const = default;
    };
    State state() {
        std::string boxes;
        for (const char* tag : {"FileBox1", "FileBox2", "FileBox3", "FileBox4"})
            boxes += control(tag) + "|";
        return {session_json(ctx.vars), boxes};
    }

    // What the user was told since mark(): the first message box, else the last console line.
    void mark() {
        messages_seen_ = ui.messages().size();
        console_seen_ = ui.console_lines().size();
    }
    bool told_nothing() const { return ui.messages().size() == messages_seen_; }
    std::string told() const {
        if (!told_nothing())
            return ui.messages()[messages_seen_];
        return ui.console_lines().size() > console_seen_ ? last_console() : std::string();
    }

  private:
    std::size_t messages_seen_ = 0, console_seen_ = 0;
};

TEST_P(BadInputTest, ClearMessageAndSessionKept) {
    const Hostile& c = GetParam();
    load_good_blocks(c.variable2);
    const std::string name = *c.file ? c.file : std::string(c.name) + ".txt";
    if (c.partner) {
        ASSERT_TRUE(load(c.partner_action, write("partner.txt", c.partner()))) << told();
    }
    const std::filesystem::path f = write(name, c.content());
    if (c.prepare == Prepare::folder) {
        std::filesystem::remove(f);
        std::filesystem::create_directory(f);
    } else if (c.prepare == Prepare::long_line) {
        // 50 MB of numbers and no line end, written in pieces so that only the reader could
        // make the test's memory grow.
        std::ofstream out(f, std::ios::binary);
        const std::string piece = repeat("1.25 ", 1 << 16);
        for (int i = 0; i < 160; ++i)
            out << piece;
    } else if (c.prepare == Prepare::no_read_permission) {
        if (::geteuid() == 0)
            GTEST_SKIP() << "permissions do not stop root";
        std::filesystem::permissions(f, std::filesystem::perms::none);
    }
    mark();

    if (!c.analyse) {
        const State before = state();
        const long peak_kb = peak_memory_kb();
        load(c.action, f);
        EXPECT_LT(peak_memory_kb() - peak_kb, 64 * 1024) << "the reader held the whole file";
        if (c.message.empty()) {
            EXPECT_TRUE(told_nothing()) << told();
            // The new block was taken, under its own name.
            EXPECT_NE(state().boxes.find("File: " + f.filename().string() + " \n"),
                      std::string::npos)
                << state().boxes;
        } else {
            EXPECT_EQ(told(), expand(c.message, f.string()));
            EXPECT_TRUE(state() == before);
        }
        return;
    }

    ASSERT_TRUE(load(c.action, f)) << told();
    ASSERT_TRUE(told_nothing()) << told();
    const State before = state();
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
    EXPECT_EQ(state().boxes, before.boxes);
}

const std::string kLandmarkFile =
    "{f}: a landmark file needs 2k+1 numbers a line (x1 y1 ... xk yk cs); it has ";

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputTest,
    ::testing::Values(
        Hostile{.name = "empty",
                .action = "LoadG1B1",
                .content = [] { return std::string(); },
                .message = "{f}: the file is empty"},
        Hostile{.name = "only_newline",
                .action = "LoadG1B1",
                .content = [] { return std::string("\n"); },
                .message = "{f}, line 1: the first line holds no numbers"},
        Hostile{.name = "binary_junk",
                .action = "LoadG1B1",
                .content = [] { return std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18); },
                .message = "{f}, line 1: \"\\x89PNG\" is not a number"},
        Hostile{.name = "utf8_bom",
                .action = "LoadG1B1",
                .content = [] { return "\xEF\xBB\xBF" + block(8, 4, 5); }},
        Hostile{.name = "utf16",
                .action = "LoadG1B1",
                .content =
                    [] {
                        std::string s = "\xFF\xFE";
                        for (const char ch : block(3, 4))
                            s += std::string{ch, '\0'};
                        return s;
                    },
                .message = "{f}, line 1: not a plain text file (binary or UTF-16?)"},
        Hostile{.name = "cr_only",
                .action = "LoadG1B1",
                .content =
                    [] {
                        std::string s = block(8, 4, 6);
                        for (char& ch : s)
                            ch = ch == '\n' ? '\r' : ch;
                        return s;
                    }},
        Hostile{.name = "one_50MB_line",
                .action = "LoadG1B1",
                .content = [] { return std::string(); },
                .message = "{f}, line 1: the line is longer than 4 MiB",
                .prepare = Prepare::long_line},
        Hostile{.name = "nan",
                .action = "LoadG1B1",
                .content = [] { return block(2, 4) + "nan 0 1 0 1 1 0 1 1\n"; },
                .message = "{f}, line 3: \"nan\" is not a number"},
        Hostile{.name = "inf",
                .action = "LoadG1B2",
                .content = [] { return block(8, 3) + "0 0 1 0 -Inf 1 1\n"; },
                .message = "{f}, line 9: \"-Inf\" is not a number"},
        Hostile{.name = "1e400",
                .action = "LoadG2B1",
                .content = [] { return "0 0 1 0 1e400 1 0 1 1\n" + block(3, 4); },
                .message = "{f}, line 1: \"1e400\" is out of range"},
        Hostile{.name = "ragged",
                .action = "LoadG1B1",
                .content = [] { return block(2, 4) + "0 0 1 0 1 1 0\n"; },
                .message = "{f}, line 3: expected 9 numbers as on line 1, found 7"},
        Hostile{.name = "odd_column_count",
                .action = "LoadG1B2",
                .content = [] { return copies(8, "0 0 1 0 1 1 0 1"); },
                .message = kLandmarkFile + "8"},
        Hostile{.name = "decimal_commas",
                .action = "LoadG1B1",
                .content = [] { return copies(3, "0,5 0,1 1,2 0,3 1,1 1,4 0,2 1,1 1,0"); },
                .message = kLandmarkFile + "18"},
        Hostile{.name = "hex_and_expression",
                .action = "LoadG1B1",
                .content = [] { return std::string("0x10 0 1 0 1+2 1 0 1 1\n"); },
                .message = "{f}, line 1: \"0x10\" is not a number"},
        Hostile{.name = "zero_size_specimen",
                .action = "LoadG1B1",
                .content = [] { return block(3, 4) + "2 2 2 2 2 2 2 2 1\n"; },
                .message = "{f}: specimen 4: centroid size is 0 (all landmarks coincide)"},
        Hostile{.name = "huge_coordinates",
                .action = "LoadG1B1",
                .content = [] { return "0 0 1e300 0 1e300 1e300 0 1e300 1\n" + block(4, 4); },
                .message = "{f}: specimen 1: centroid size overflows (coordinates are too large)"},
        Hostile{.name = "folder",
                .action = "LoadG1B1",
                .content = [] { return std::string(); },
                .message = "Cannot open the file {f}",
                .prepare = Prepare::folder},
        Hostile{.name = "no_read_permission",
                .action = "LoadG1B1",
                .content = [] { return block(8, 4); },
                .message = "Cannot open the file {f}",
                .prepare = Prepare::no_read_permission},
        Hostile{.name = "spaces_and_non_ascii",
                .action = "LoadG1B1",
                .content = [] { return block(8, 4, 11); },
                .file = "my data \xC3\xA9t\xC3\xA9 \xE6\x95\xB0.txt"},
        Hostile{.name = "one_specimen",
                .action = "LoadG1B1",
                .content = [] { return block(1, 4); },
                .message = "The samples sizes do not match, shape and shape",
                .analyse = true},
        Hostile{.name = "one_specimen_in_both_blocks",
                .action = "LoadG1B1",
                .content = [] { return block(1, 4); },
                .analyse = true,
                .report = "SVD 1 Block 1= not defined (null axis)",
                .partner_action = "LoadG1B2",
                .partner = [] { return block(1, 3); }},
        Hostile{.name = "two_specimens",
                .action = "LoadG2B1",
                .content = [] { return block(2, 4); },
                .analyse = true,
                .report = "SVD 2 Block 1= not defined (null axis)",
                .partner_action = "LoadG2B2",
                .partner = [] { return block(2, 3); }},
        Hostile{.name = "all_identical",
                .action = "LoadG1B1",
                .content = [] { return copies(8, "0 0 1 0 1 1 0 1 1"); },
                .analyse = true,
                .report = "SVD 1 Block 1= not defined (null axis)"},
        Hostile{.name = "duplicated_landmarks",
                .action = "LoadG1B1",
                .content = [] { return copies(8, "0 0 0 0 1 0 1 1 1"); },
                .message = "Error: landmarks 1 and 2 of the reference form coincide, so the "
                           "thin-plate spline is undefined",
                .analyse = true,
                .partner_action = "LoadG2B1",
                .partner = [] { return copies(7, "0 0 0 0 1 0 1 1 1"); }},
        Hostile{.name = "collinear_landmarks",
                .action = "LoadG2B1",
                .content = [] { return copies(7, "0 0 1 0 2 0 3 0 1"); },
                .message = "Error: the reference form's landmarks are collinear, so the thin-plate "
                           "spline is undefined",
                .analyse = true,
                .partner_action = "LoadG1B1",
                .partner = [] { return copies(8, "0 0 1 0 2 0 3 0 1"); }},
        Hostile{.name = "constant_variable",
                .action = "LoadG1B2",
                .content = [] { return copies(8, "1 2 3"); },
                .analyse = true,
                .report = "SVD 1 Block 1= ",
                .variable2 = true},
        Hostile{.name = "rows_mismatch",
                .action = "LoadG2B2",
                .content = [] { return block(6, 3, 8); },
                .message = "The samples sizes do not match, shape and shape",
                .analyse = true},
        Hostile{.name = "rows_mismatch_variables",
                .action = "LoadG1B2",
                .content = [] { return variables(9, 3); },
                .message = "The samples sizes do not match, shape and variable",
                .analyse = true,
                .variable2 = true},
        Hostile{.name = "landmark_counts_differ",
                .action = "LoadG2B1",
                .content = [] { return block(7, 5, 9); },
                .message = "Error: Block 1 has 9 columns in group 1 but 11 in group 2; the two "
                           "groups cannot be pooled",
                .analyse = true},
        Hostile{.name = "two_landmarks",
                .action = "LoadG1B2",
                .content = [] { return block(8, 2, 10); },
                .message = "Error: the reference form has fewer than 3 landmarks",
                .analyse = true,
                .partner_action = "LoadG2B2",
                .partner = [] { return block(7, 2, 12); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tesvane::test
