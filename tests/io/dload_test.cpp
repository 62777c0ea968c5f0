#include "io/dload.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "test_paths.hpp"
#include "test_util.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

const std::string kBom = "\xEF\xBB\xBF";

Matrix read(const std::string& text) {
    std::istringstream in(text, std::ios::in | std::ios::binary);
    return read_numeric_table(in, "mem.txt");
}

std::string escaped(const std::string& s) {
    std::string out;
    for (const char c : s.substr(0, 200)) {
        const auto u = static_cast<unsigned char>(c);
        out += (u >= 0x20 && u < 0x7F) ? std::string(1, c) : cformat("\\x%02X", u);
    }
    return s.size() > 200 ? out + "..." : out;
}

// The message of the DataFileError that reading `text` throws, with its line.
struct Failure {
    std::string message;
    int line = -1;
};
Failure failure_of(const std::string& text) {
    try {
        read(text);
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.file(), "mem.txt");
        return {e.what(), e.line()};
    }
    ADD_FAILURE() << "no error for: " << escaped(text);
    return {};
}

using test::rows;

#define EXPECT_MATRIX_EQ(actual, expected)                            \
    do {                                                              \
        const Matrix a_ = (actual);                                   \
        const Matrix e_ = (expected);                                 \
        ASSERT_EQ(a_.rows(), e_.rows());                              \
        ASSERT_EQ(a_.cols(), e_.cols());                              \
        EXPECT_TRUE(a_ == e_) << "got\n" << a_ << "\nwanted\n" << e_; \
    } while (0)

TEST(ReadNumericTable, SeparatorsCommentsLineEndsAndTheEndOfTheData) {
    const Matrix m123 = rows({{1, 2, 3}, {4, 5, 6}}), m12 = rows({{1, 2}});
    const Matrix m1234 = rows({{1, 2}, {3, 4}}), m15 = rows({{1.5, -2, 3}, {4, 5, 6}});
    const std::string longest = "7 %" + std::string(kMaxLineLength - 3, 'x');
    const std::vector<std::pair<std::string, Matrix>> cases = {
        {"1 2 3\n4 5 6\n", m123},
        {"1.5 -2 3\n4 5 6\n", m15},
        {"1.5,-2,3\n4,5,6\n", m15},
        {"1.5\t-2\t3\n4\t5\t6\n", m15},
        {"1.5, -2 ,\t3\n4 ,5\t, 6\n", m15},
        {"  1   2\t\t3  \n,,4,,5,,6,,\n", m123},  // runs of separators count as one
        {"1,5\n", rows({{1, 5}})},                // a comma is never a decimal point
        {"1 2 % 3 4\n5 6%7\n", rows({{1, 2}, {5, 6}})},
        // Saved axis and reference files as the save actions write them.
        {"0.5 1e-05 1e+06 0.333333 1  % PC Axis Block 1, Group 1 Tesvane \n ",
         rows({{0.5, 1e-05, 1e+06, 0.333333, 1}})},
        {"-0.1 0.2 0.3 -0.4 1  % Reference form from Block 1 SVD-Tesvane \n ",
         rows({{-0.1, 0.2, 0.3, -0.4, 1}})},
        // An empty line ends the data, and nothing after it is looked at.
        {"1 2\n3 4\n5 6\n\n7 8\n9\nnot numbers at all\n", rows({{1, 2}, {3, 4}, {5, 6}})},
        {"1 2\n\n3 4 5\n", m12},
        {std::string("1 2\n\n\0\0\x01 binary", 15), m12},
        {"1 2\n\n" + std::string(kMaxLineLength + 10, 'x'), m12},
        // A last line without line end is read unless it is one character, even a non-number.
        {"1 2\n3 4", m1234},
        {"1\n12", rows({{1}, {12}})},
        {"1 2\n3 4\n5", m1234},
        {"5\n6\n7", rows({{5}, {6}})},
        {"1 2\nx", m12},
        {"1 2\n ", m12},
        {"5\n6\n7\n", rows({{5}, {6}, {7}})},
        {"5", rows({{5}})},  // the first line is read even if one character
        {"5\n\n6\n", rows({{5}})},
        // CR LF, lone CR and mixed line ends; the byte-order mark at the start.
        {"1 2\r\n3 4\r\n", m1234},
        {"5\r\n6\r\n", rows({{5}, {6}})},
        {"1 2\r\n3 4\r\n\r\n5 6\r\n", m1234},
        {"1 2\r3 4\r", m1234},
        {"1 2\r\r3 4\r", m12},
        {"1 2\n3 4\r\n5 6\r7 8", rows({{1, 2}, {3, 4}, {5, 6}, {7, 8}})},
        {kBom + "1 2\n3 4\n", m1234},
        {"1\n" + longest + "\n2\n", rows({{1}, {7}, {2}})},  // the longest line allowed
    };
    for (const auto& [text, want] : cases) {
        SCOPED_TRACE(escaped(text));
        EXPECT_MATRIX_EQ(read(text), want);
    }
}

TEST(DloadNumbers, PlainDecimalFormsCorrectlyRoundedAndUnderflowToSignedZero) {
    const Matrix p = read("1 -2 +3 4.5 -.5 .25 5. 1e3 1E-3 -2.5e+2 007 0.1 -0\n");
    EXPECT_MATRIX_EQ(p, rows({{1, -2, 3, 4.5, -0.5, 0.25, 5, 1000, 0.001, -250, 7, 0.1, 0}}));
    EXPECT_TRUE(std::signbit(p(0, 12)));
    const Matrix x = read(
        "1.7976931348623157e308 4.9406564584124654e-324 2.2250738585072014e-308 "
        "0.30000000000000004 1e-400 -1e-400 0.0000000001e-320\n");
    EXPECT_MATRIX_EQ(x, rows({{DBL_MAX, std::nextafter(0.0, 1.0), DBL_MIN, 0.1 + 0.2, 0, 0, 0}}));
    EXPECT_FALSE(std::signbit(x(0, 4)));
    EXPECT_TRUE(std::signbit(x(0, 5)));
}

TEST(DloadNumbers, ExpressionsOtherNotationsAndOverflowAreRejected) {
    for (const std::string bad :
         {"1+2",  "2*3", "inf",   "-inf", "Inf",   "nan", "NaN", "Infinity", "0x1p3",
          "0x10", "1e",  "1e+",   "e5",   ".",     "+",   "-",   "1.2.3",    "--1",
          "+-1",  "1d3", "1_000", "pi",   "1e5.5", "(1)", "[1]", "\xC2\xBD"}) {
        const Failure f = failure_of("1\n" + bad + "\n");
        EXPECT_EQ(f.line, 2) << bad;
        EXPECT_EQ(f.message, "mem.txt, line 2: \"" + bad + "\" is not a number") << bad;
    }
    for (const std::string& big :
         std::vector<std::string>{"1e400", "-1e400", "1.8e308", "1" + std::string(400, '0'),
                                  "0.01e311", "1e99999999999999999999"}) {
        const Failure f = failure_of("0 " + big + "\n");
        EXPECT_EQ(f.message, "mem.txt, line 1: \"" + big.substr(0, 32) +
                                 (big.size() > 32 ? "..." : "") + "\" is out of range")
            << big;
    }
}

TEST(DloadErrors, MessageNamesTheLine) {
    const std::string not_plain = "not a plain text file (binary or UTF-16?)";
    const std::string longest = "7 %" + std::string(kMaxLineLength - 3, 'x');
    // {text, line (0: the message names none), what}
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"", 0, "the file is empty"},
        {kBom, 0, "the file is empty"},
        {"\n1 2\n", 1, "the first line holds no numbers"},
        {"   \n1 2\n", 1, "the first line holds no numbers"},
        {"% x y\n1 2\n", 1, "the first line holds no numbers"},
        {",\t,\n", 1, "the first line holds no numbers"},
        {"\r\n1\r\n", 1, "the first line holds no numbers"},
        {"x1 y1\n1 2\n", 1, "\"x1\" is not a number"},
        {"1 2\n" + kBom + "3 4\n", 2, "\"" + kBom + "3\" is not a number"},  // a mark elsewhere
        {"8,9;53,7\n", 1,
         "\"9;53\" is not a number; a table separated by semicolons needs a header row of column "
         "names"},
        {"1 2 3\n4 5 6\n7 8\n", 3, "expected 3 numbers as on line 1, found 2"},
        {"1\n2 3\n", 2, "expected 1 number as on line 1, found 2"},
        // Only an empty line ends the data; blanks or a comment are a line without numbers.
        {"1 2\n  \n3 4\n", 2, "expected 2 numbers as on line 1, found 0"},
        {"1 2\n% comment\n", 2, "expected 2 numbers as on line 1, found 0"},
        {"1\r\n2\r3\n4\nabc\r\n", 5, "\"abc\" is not a number"},  // every kind of line end
        {"1\n" + std::string(100, 'a') + "\n", 2,
         "\"" + std::string(32, 'a') + "...\" is not a number"},
        {"1\n2\x01\x7F\n", 2, "\"2\\x01\\x7F\" is not a number"},
        {std::string("1 2\n3\0 4\n", 9), 2, not_plain},
        {std::string("\xFF\xFE\x31\0 \0\x32\0\n\0", 10), 1, not_plain},  // "1 2\n" in UTF-16 LE
        {"1\n" + longest + "x\n2\n", 2, "the line is longer than 4 MiB"},
        {std::string(kMaxLineLength + 5, '\0'), 1, not_plain},
    };
    for (const auto& [text, line, what] : cases) {
        SCOPED_TRACE(escaped(text));
        const Failure f = failure_of(text);
        EXPECT_EQ(f.line, line);
        EXPECT_EQ(f.message,
                  (line ? "mem.txt, line " + std::to_string(line) : "mem.txt") + ": " + what);
    }
}

// A file of `bytes` in the temporary folder, named after the test process.
std::string temp_file(const std::string& name, const std::string& bytes) {
    const fs::path p =
        fs::temp_directory_path() / ("tesvane_dload_" + std::to_string(::getpid()) + "_" + name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
}

// A file reads as the stream does and its errors name the path; a file that cannot be opened
// gives -1.
TEST(DloadFile, ReadsAsTheStreamNamesThePathOrGivesMinusOne) {
    const std::string text = "1 2 3\r\n4,5,6 % c\r\n\r\n7\n",
                      path = temp_file("bad.txt", "1 2\n3 q\n");
    EXPECT_MATRIX_EQ(dload(temp_file("a.txt", text)), read(text));
    try {
        dload(path);
        ADD_FAILURE() << "no error";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.file(), path);
        EXPECT_EQ(e.line(), 2);
        EXPECT_EQ(std::string(e.what()), path + ", line 2: \"q\" is not a number");
    }
    const std::string locked = temp_file("locked.txt", "1 2\n");
    fs::permissions(locked, fs::perms::none);
    for (const std::string& p : {(fs::temp_directory_path() / "tesvane_absent" / "x.txt").string(),
                                 std::string(), fs::temp_directory_path().string(), locked}) {
        if (p != locked || !std::ifstream(p).is_open())  // where permissions are enforced
            EXPECT_MATRIX_EQ(dload(p), rows({{-1}}));
    }
    for (const char* name : {"a.txt", "bad.txt", "locked.txt"})
        fs::remove(temp_file(name, ""));
}

TEST(DloadRealData, PublishedFilesValuesShapesAndCentroidSizes) {
    const fs::path dir = test::dataset("plethodon");
    if (dir.empty())
        GTEST_SKIP() << "plethodon dataset not found";
    const Matrix b1 = dload((dir / "Jord_b1.txt").string());
    ASSERT_EQ(b1.rows(), 20);
    ASSERT_EQ(b1.cols(), 15);
    EXPECT_EQ(b1(0, 0), 8.89372);
    EXPECT_EQ(b1(0, 14), 11.96937863);
    EXPECT_EQ(b1(19, 13), 56.74017);
    // The last column is each specimen's centroid size: columns arrive in file order.
    for (Index i = 0; i < b1.rows(); ++i) {
        const Matrix xy = Matrix(b1.row(i).leftCols(14)).reshaped<Eigen::RowMajor>(7, 2);
        EXPECT_NEAR(b1(i, 14), (xy.rowwise() - xy.colwise().mean()).norm(), 1e-6) << i + 1;
    }
    const Matrix outline = dload((dir / "template_outline.txt").string());
    ASSERT_EQ(outline.size(), 91);
    EXPECT_EQ(outline(0, 90), 1.0);
    EXPECT_MATRIX_EQ(dload((dir / "clist_outline_block1.txt").string()), rows({{1, 17}, {2, 13}}));
    struct Case {
        const char *dataset, *file;
        Index rows, cols;
    };
    for (const Case& c :
         {Case{"plethodon", "Teyah_b2.txt", 20, 11}, Case{"plethodon_vars", "Jord_b1.txt", 20, 25},
          Case{"plethodon_vars", "Teyah_b2.txt", 20, 2}, Case{"ratland", "late_b2.txt", 72, 9},
          Case{"larvalMorph", "A_b2.txt", 40, 129}, Case{"larvalMorph", "T_b1.txt", 37, 53}}) {
        if (const fs::path d = test::dataset(c.dataset); !d.empty()) {
            const Matrix x = dload((d / c.file).string());
            EXPECT_EQ(x.rows(), c.rows) << c.dataset << "/" << c.file;
            EXPECT_EQ(x.cols(), c.cols) << c.dataset << "/" << c.file;
        }
    }
}

}  // namespace
}  // namespace tesvane
