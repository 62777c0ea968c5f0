#include "io/dload.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/error.hpp"
#include "test_paths.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

Matrix read(const std::string& text) {
    std::istringstream in(text, std::ios::in | std::ios::binary);
    return read_numeric_table(in, "mem.txt");
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
    ADD_FAILURE() << "no error for: " << text;
    return {};
}

Matrix rows(std::initializer_list<std::initializer_list<double>> r) {
    Matrix m(static_cast<Index>(r.size()), static_cast<Index>(r.begin()->size()));
    Index i = 0;
    for (const auto& row : r) {
        Index j = 0;
        for (double v : row)
            m(i, j++) = v;
        ++i;
    }
    return m;
}

#define EXPECT_MATRIX_EQ(actual, expected)                            \
    do {                                                              \
        const Matrix a_ = (actual);                                   \
        const Matrix e_ = (expected);                                 \
        ASSERT_EQ(a_.rows(), e_.rows());                              \
        ASSERT_EQ(a_.cols(), e_.cols());                              \
        EXPECT_TRUE(a_ == e_) << "got\n" << a_ << "\nwanted\n" << e_; \
    } while (0)

// ---- separators and comments

TEST(ReadNumericTable, OneLinePerRowInLineOrder) {
    EXPECT_MATRIX_EQ(read("1 2 3\n4 5 6\n"), rows({{1, 2, 3}, {4, 5, 6}}));
}

TEST(ReadNumericTable, TenLinesOfTwentyFiveNumbers) {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 25; ++j)
            text += std::to_string(100 * i + j) + " ";
        text += "\n";
    }
    const Matrix x = read(text);
    ASSERT_EQ(x.rows(), 10);
    ASSERT_EQ(x.cols(), 25);
    EXPECT_EQ(x(0, 0), 0);
    EXPECT_EQ(x(0, 24), 24);
    EXPECT_EQ(x(9, 0), 900);
    EXPECT_EQ(x(4, 7), 407);
    EXPECT_EQ(x(9, 24), 924);
}

TEST(ReadNumericTable, CommasAndTabsSeparateLikeBlanks) {
    const Matrix blanks = read("1.5 -2 3\n4 5 6\n");
    EXPECT_MATRIX_EQ(read("1.5,-2,3\n4,5,6\n"), blanks);
    EXPECT_MATRIX_EQ(read("1.5\t-2\t3\n4\t5\t6\n"), blanks);
    EXPECT_MATRIX_EQ(read("1.5, -2 ,\t3\n4 ,5\t, 6\n"), blanks);
}

TEST(ReadNumericTable, RunsOfSeparatorsCountAsOne) {
    EXPECT_MATRIX_EQ(read("  1   2\t\t3  \n,,4,,5,,6,,\n"), rows({{1, 2, 3}, {4, 5, 6}}));
}

TEST(ReadNumericTable, ACommaIsNeverADecimalPoint) {
    EXPECT_MATRIX_EQ(read("1,5\n"), rows({{1, 5}}));
}

TEST(ReadNumericTable, CommentRunsToTheEndOfTheLine) {
    EXPECT_MATRIX_EQ(read("1 2 % 3 4\n5 6%7\n"), rows({{1, 2}, {5, 6}}));
}

TEST(ReadNumericTable, SavedAxisFileReadsBackAsOneRow) {
    // "%g " values, then " % label \n " as the save actions write them.
    EXPECT_MATRIX_EQ(read("0.5 1e-05 1e+06 0.333333 1  % PC Axis Block 1, Group 1 Tesvane \n "),
                     rows({{0.5, 1e-05, 1e+06, 0.333333, 1}}));
    EXPECT_MATRIX_EQ(read("-0.1 0.2 0.3 -0.4 1  % Reference form from Block 1 SVD-Tesvane \n "),
                     rows({{-0.1, 0.2, 0.3, -0.4, 1}}));
}

// ---- where the data end

TEST(DloadEndOfData, AnEmptyLineEndsTheDataWhateverFollows) {
    EXPECT_MATRIX_EQ(read("1 2\n3 4\n5 6\n\n7 8\n9\nnot numbers at all\n"),
                     rows({{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_MATRIX_EQ(read("1 2\n\n3 4 5\n"), rows({{1, 2}}));
}

TEST(DloadEndOfData, NothingAfterTheEndIsLookedAt) {
    EXPECT_MATRIX_EQ(read(std::string("1 2\n\n\0\0\x01 binary", 15)), rows({{1, 2}}));
    EXPECT_MATRIX_EQ(read("1 2\n\n" + std::string(kMaxLineLength + 10, 'x')), rows({{1, 2}}));
}

TEST(DloadEndOfData, LastLineWithoutLineEndIsRead) {
    EXPECT_MATRIX_EQ(read("1 2\n3 4"), rows({{1, 2}, {3, 4}}));
    EXPECT_MATRIX_EQ(read("1\n12"), rows({{1}, {12}}));
}

TEST(DloadEndOfData, SingleCharacterLastLineIsDropped) {
    EXPECT_MATRIX_EQ(read("1 2\n3 4\n5"), rows({{1, 2}, {3, 4}}));
    EXPECT_MATRIX_EQ(read("5\n6\n7"), rows({{5}, {6}}));
    // One character of anything ends the data, even one that is not a number.
    EXPECT_MATRIX_EQ(read("1 2\nx"), rows({{1, 2}}));
    EXPECT_MATRIX_EQ(read("1 2\n "), rows({{1, 2}}));
}

TEST(DloadEndOfData, OneDigitWithItsLineEndIsARow) {
    EXPECT_MATRIX_EQ(read("5\n6\n7\n"), rows({{5}, {6}, {7}}));
}

TEST(DloadEndOfData, TheFirstLineIsReadEvenIfOneCharacter) {
    EXPECT_MATRIX_EQ(read("5"), rows({{5}}));
    EXPECT_MATRIX_EQ(read("5\n\n6\n"), rows({{5}}));
}

// ---- line ends and byte-order mark

TEST(DloadLineEnds, CrLfReadsLikeLf) {
    EXPECT_MATRIX_EQ(read("1 2\r\n3 4\r\n"), rows({{1, 2}, {3, 4}}));
    EXPECT_MATRIX_EQ(read("5\r\n6\r\n"), rows({{5}, {6}}));
}

TEST(DloadLineEnds, CrLfEmptyLineEndsTheData) {
    EXPECT_MATRIX_EQ(read("1 2\r\n3 4\r\n\r\n5 6\r\n"), rows({{1, 2}, {3, 4}}));
}

TEST(DloadLineEnds, LoneCrEndsALine) {
    EXPECT_MATRIX_EQ(read("1 2\r3 4\r"), rows({{1, 2}, {3, 4}}));
    EXPECT_MATRIX_EQ(read("1 2\r\r3 4\r"), rows({{1, 2}}));
}

TEST(DloadLineEnds, MixedLineEnds) {
    EXPECT_MATRIX_EQ(read("1 2\n3 4\r\n5 6\r7 8"), rows({{1, 2}, {3, 4}, {5, 6}, {7, 8}}));
}

TEST(DloadLineEnds, Utf8ByteOrderMarkIsSkipped) {
    EXPECT_MATRIX_EQ(read("\xEF\xBB\xBF"
                          "1 2\n3 4\n"),
                     rows({{1, 2}, {3, 4}}));
}

TEST(DloadLineEnds, ByteOrderMarkElsewhereIsNotANumber) {
    const Failure f = failure_of(
        "1 2\n\xEF\xBB\xBF"
        "3 4\n");
    EXPECT_EQ(f.line, 2);
    EXPECT_EQ(f.message,
              "mem.txt, line 2: \"\xEF\xBB\xBF"
              "3\" is not a number");
}

// ---- number syntax

TEST(DloadNumbers, PlainDecimalForms) {
    const Matrix x = read("1 -2 +3 4.5 -.5 .25 5. 1e3 1E-3 -2.5e+2 007 0.1 -0\n");
    const Matrix want = rows({{1, -2, 3, 4.5, -0.5, 0.25, 5, 1000, 0.001, -250, 7, 0.1, 0}});
    EXPECT_MATRIX_EQ(x, want);
    EXPECT_TRUE(std::signbit(x(0, 12)));
}

TEST(DloadNumbers, ConversionIsCorrectlyRounded) {
    const Matrix x = read(
        "1.7976931348623157e308 4.9406564584124654e-324 2.2250738585072014e-308 "
        "0.30000000000000004\n");
    EXPECT_EQ(x(0, 0), DBL_MAX);
    EXPECT_EQ(x(0, 1), std::nextafter(0.0, 1.0));
    EXPECT_EQ(x(0, 2), DBL_MIN);
    EXPECT_EQ(x(0, 3), 0.1 + 0.2);
}

TEST(DloadNumbers, UnderflowReadsAsSignedZero) {
    const Matrix x = read("1e-400 -1e-400 0.0000000001e-320\n");
    EXPECT_EQ(x(0, 0), 0.0);
    EXPECT_FALSE(std::signbit(x(0, 0)));
    EXPECT_EQ(x(0, 1), 0.0);
    EXPECT_TRUE(std::signbit(x(0, 1)));
    EXPECT_EQ(x(0, 2), 0.0);
}

TEST(DloadNumbers, ExpressionsAndOtherNotationsAreRejected) {
    for (const std::string bad :
         {"1+2",  "2*3", "inf",   "-inf", "Inf",   "nan", "NaN", "Infinity", "0x1p3",
          "0x10", "1e",  "1e+",   "e5",   ".",     "+",   "-",   "1.2.3",    "--1",
          "+-1",  "1d3", "1_000", "pi",   "1e5.5", "(1)", "[1]", "1;2",      "\xC2\xBD"}) {
        const Failure f = failure_of("1\n" + bad + "\n");
        EXPECT_EQ(f.line, 2) << bad;
        EXPECT_EQ(f.message, "mem.txt, line 2: \"" + bad + "\" is not a number") << bad;
    }
}

TEST(DloadNumbers, OverflowIsOutOfRange) {
    for (const std::string& big :
         std::vector<std::string>{"1e400", "-1e400", "1.8e308", "1" + std::string(400, '0'),
                                  "0.01e311", "1e99999999999999999999"}) {
        const Failure f = failure_of("0 " + big + "\n");
        EXPECT_EQ(f.message, "mem.txt, line 1: \"" + big.substr(0, 32) +
                                 (big.size() > 32 ? "..." : "") + "\" is out of range")
            << big;
    }
}

// ---- errors

TEST(DloadErrors, EmptyFile) {
    Failure f = failure_of("");
    EXPECT_EQ(f.message, "mem.txt: the file is empty");
    EXPECT_EQ(f.line, 0);
    f = failure_of("\xEF\xBB\xBF");
    EXPECT_EQ(f.message, "mem.txt: the file is empty");
}

TEST(DloadErrors, FirstLineWithoutNumbers) {
    for (const std::string text :
         {"\n1 2\n", "   \n1 2\n", "% x y\n1 2\n", ",\t,\n", "\r\n1\r\n"}) {
        const Failure f = failure_of(text);
        EXPECT_EQ(f.message, "mem.txt, line 1: the first line holds no numbers") << text;
        EXPECT_EQ(f.line, 1);
    }
}

TEST(DloadErrors, HeaderLineIsNotANumber) {
    EXPECT_EQ(failure_of("x1 y1\n1 2\n").message, "mem.txt, line 1: \"x1\" is not a number");
}

TEST(DloadErrors, CountDiffersFromFirstLine) {
    EXPECT_EQ(failure_of("1 2 3\n4 5 6\n7 8\n").message,
              "mem.txt, line 3: expected 3 numbers as on line 1, found 2");
    EXPECT_EQ(failure_of("1\n2 3\n").message,
              "mem.txt, line 2: expected 1 number as on line 1, found 2");
    // Only an empty line ends the data; a line of blanks is a line without numbers.
    EXPECT_EQ(failure_of("1 2\n  \n3 4\n").message,
              "mem.txt, line 2: expected 2 numbers as on line 1, found 0");
    EXPECT_EQ(failure_of("1 2\n% comment\n").message,
              "mem.txt, line 2: expected 2 numbers as on line 1, found 0");
}

TEST(DloadErrors, LineNumbersCountEveryKindOfLineEnd) {
    EXPECT_EQ(failure_of("1\r\n2\r3\n4\nabc\r\n").line, 5);
}

TEST(DloadErrors, LongTokenIsQuotedShortened) {
    const std::string token(100, 'a');
    EXPECT_EQ(failure_of("1\n" + token + "\n").message,
              "mem.txt, line 2: \"" + std::string(32, 'a') + "...\" is not a number");
}

TEST(DloadErrors, ControlCharactersInTokenAreEscaped) {
    EXPECT_EQ(failure_of("1\n2\x01\x7F\n").message,
              "mem.txt, line 2: \"2\\x01\\x7F\" is not a number");
}

TEST(DloadErrors, NulBytesMeanNotPlainText) {
    EXPECT_EQ(failure_of(std::string("1 2\n3\0 4\n", 9)).message,
              "mem.txt, line 2: not a plain text file (binary or UTF-16?)");
    // "1 2\n" in UTF-16 LE with its byte-order mark.
    const std::string utf16(
        "\xFF\xFE"
        "1\0 \0"
        "2\0\n\0",
        10);
    EXPECT_EQ(failure_of(utf16).message,
              "mem.txt, line 1: not a plain text file (binary or UTF-16?)");
}

TEST(DloadErrors, LineLengthIsBounded) {
    // The longest line allowed still reads; one more character does not.
    const std::string longest = "7 %" + std::string(kMaxLineLength - 3, 'x');
    EXPECT_MATRIX_EQ(read("1\n" + longest + "\n2\n"), rows({{1}, {7}, {2}}));
    EXPECT_EQ(failure_of("1\n" + longest + "x\n2\n").message,
              "mem.txt, line 2: the line is longer than 4 MiB");
    // A binary file without any line end is named as such.
    EXPECT_EQ(failure_of(std::string(kMaxLineLength + 5, '\0')).message,
              "mem.txt, line 1: not a plain text file (binary or UTF-16?)");
}

// ---- files

class DloadFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("tesvane_dload_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_ / "locked.txt", fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    fs::path dir_;
};

TEST_F(DloadFile, ReadsTheSameAsTheStream) {
    const std::string text = "1 2 3\r\n4,5,6 % c\r\n\r\n7\n";
    EXPECT_MATRIX_EQ(dload(write("a.txt", text)), read(text));
}

TEST_F(DloadFile, MissingFileGivesMinusOne) {
    EXPECT_MATRIX_EQ(dload((dir_ / "absent.txt").string()), rows({{-1}}));
    EXPECT_MATRIX_EQ(dload(""), rows({{-1}}));
}

TEST_F(DloadFile, DirectoryGivesMinusOne) {
    EXPECT_MATRIX_EQ(dload(dir_.string()), rows({{-1}}));
}

TEST_F(DloadFile, UnreadableFileGivesMinusOne) {
    const std::string path = write("locked.txt", "1 2\n");
    fs::permissions(path, fs::perms::none);
    if (std::ifstream(path).is_open())
        GTEST_SKIP() << "permissions are not enforced here";
    EXPECT_MATRIX_EQ(dload(path), rows({{-1}}));
}

TEST_F(DloadFile, ErrorNamesThePathAndLine) {
    const std::string path = write("bad.txt", "1 2\n3 q\n");
    try {
        dload(path);
        FAIL() << "no error";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.file(), path);
        EXPECT_EQ(e.line(), 2);
        EXPECT_EQ(std::string(e.what()), path + ", line 2: \"q\" is not a number");
    }
}

TEST_F(DloadFile, EmptyFileIsAnError) {
    EXPECT_THROW(dload(write("empty.txt", "")), DataFileError);
}

// ---- real data

// Centroid size of the landmarks x1 y1 ... xk yk in the first 2k values of a row.
double centroid_size(const Matrix& row, Index k) {
    double mx = 0, my = 0;
    for (Index i = 0; i < k; ++i) {
        mx += row(0, 2 * i) / static_cast<double>(k);
        my += row(0, 2 * i + 1) / static_cast<double>(k);
    }
    double ss = 0;
    for (Index i = 0; i < k; ++i) {
        ss += std::pow(row(0, 2 * i) - mx, 2) + std::pow(row(0, 2 * i + 1) - my, 2);
    }
    return std::sqrt(ss);
}

TEST(DloadRealData, PlethodonBlocksAndTemplates) {
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
        EXPECT_NEAR(b1(i, 14), centroid_size(b1.row(i), 7), 1e-6) << "row " << i + 1;
    }
    const Matrix b2 = dload((dir / "Teyah_b2.txt").string());
    EXPECT_EQ(b2.rows(), 20);
    EXPECT_EQ(b2.cols(), 11);
    const Matrix outline = dload((dir / "template_outline.txt").string());
    EXPECT_EQ(outline.rows(), 1);
    EXPECT_EQ(outline.cols(), 91);
    EXPECT_EQ(outline(0, 90), 1.0);
    EXPECT_MATRIX_EQ(dload((dir / "clist_outline_block1.txt").string()), rows({{1, 17}, {2, 13}}));
}

TEST(DloadRealData, OtherDatasetsHaveTheirDocumentedShapes) {
    struct Case {
        const char* dataset;
        const char* file;
        Index rows, cols;
    };
    for (const Case& c :
         {Case{"plethodon_vars", "Jord_b1.txt", 20, 25},
          Case{"plethodon_vars", "Teyah_b2.txt", 20, 2}, Case{"ratland", "late_b2.txt", 72, 9},
          Case{"larvalMorph", "A_b2.txt", 40, 129}, Case{"larvalMorph", "T_b1.txt", 37, 53}}) {
        const fs::path dir = test::dataset(c.dataset);
        if (dir.empty())
            continue;
        const Matrix x = dload((dir / c.file).string());
        EXPECT_EQ(x.rows(), c.rows) << c.dataset << "/" << c.file;
        EXPECT_EQ(x.cols(), c.cols) << c.dataset << "/" << c.file;
    }
}

}  // namespace
}  // namespace tesvane
