// The TPS, NTS and delimited readers, format detection and the TPS and CSV writers.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "io/csv_read.hpp"
#include "io/csv_write.hpp"
#include "io/format_detect.hpp"
#include "io/landmark_file.hpp"
#include "io/nts_read.hpp"
#include "io/tps_read.hpp"
#include "io/tps_write.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

enum class Reader { tps, nts, csv };

DataFileContents read(Reader r, const std::string& text, bool landmarks = true,
                      const TpsOptions& options = {}) {
    std::istringstream in(text, std::ios::in | std::ios::binary);
    switch (r) {
        case Reader::tps:
            return read_tps(in, "f", options);
        case Reader::nts:
            return read_nts(in, "f", landmarks);
        case Reader::csv:
            break;
    }
    return read_delimited(in, "f", landmarks);
}

std::string error_of(Reader r, const std::string& text, bool landmarks = true,
                     const TpsOptions& options = {}) {
    try {
        read(r, text, landmarks, options);
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.file(), "f");
        return e.what();
    }
    return "no error";
}

Matrix row(std::initializer_list<double> v) {
    Matrix m(1, static_cast<Index>(v.size()));
    Index j = 0;
    for (const double x : v)
        m(0, j++) = x;
    return m;
}

// The right triangle (0,0) (3,0) (0,3): centroid (1,1), squared distances 2 + 5 + 5.
const double kTriangleCs = std::sqrt(12.0);

TEST(TpsRead, RecordsKeysScaleAndCurves) {
    const std::string text =
        "lm=3\n0 0\n3 0\n0 3\nId=radii\nIMAGE=id.jpg\nSCALE=2\nCOMMENT=ID=x\nVARIABLES=1\n"
        "curves=1\nPOINTS=2\n9 9\n8 8\nLM=3\r\n-1 0\r\n2 0\r\n-1 3\r\nID=ulna\r\nscale=1\r\n";
    const DataFileContents c = read(Reader::tps, text);
    ASSERT_EQ(c.data.rows(), 2);
    EXPECT_EQ(c.data.row(0), row({0, 0, 6, 0, 0, 6, 2 * kTriangleCs}));
    EXPECT_EQ(c.data.row(1), row({-1, 0, 2, 0, -1, 3, kTriangleCs}));  // negatives are data
    EXPECT_EQ(c.ids, (std::vector<std::string>{"radii", "ulna"}));

    TpsOptions curves;
    curves.curves_as_landmarks = true;
    EXPECT_EQ(error_of(Reader::tps, text, true, curves),
              "f, line 14: specimen 2 (\"ulna\") has 3 landmarks, specimen 1 has 5");
    const DataFileContents one = read(Reader::tps, text.substr(0, text.find("LM=3")), true, curves);
    EXPECT_EQ(one.data.leftCols(10), row({0, 0, 6, 0, 0, 6, 18, 18, 16, 16}));
    EXPECT_TRUE(read(Reader::tps, "LM=1\n1 1\nLM=1\n2 2\nID=b\n").ids.empty());
}

TEST(TpsRead, ErrorsNameFileLineAndSpecimen) {
    EXPECT_EQ(error_of(Reader::tps, "\nLM3=2\n1 2 3\n"),
              "f, line 2: 3D landmarks are not supported (LM3=)");
    EXPECT_EQ(error_of(Reader::tps, "LM=1\n1 1\nSCALE=2\nLM=1\n1 1\nSCALE=\nLM=1\n1 1\n"),
              "f, line 6: specimen 2 has no SCALE= value, but other specimens have one");
    EXPECT_EQ(error_of(Reader::tps, "LM=1\n1 1\nSCALE=2\nLM=1\n1 1\nID=b\n"),
              "f, line 4: specimen 2 (\"b\") has no SCALE= value, but other specimens have one");
    EXPECT_EQ(error_of(Reader::tps, "LM=1\n1 1\nSCALE=-2\n"),
              "f, line 3: SCALE= must be a positive number");
    TpsOptions missing;
    missing.negative_means_missing = true;
    EXPECT_EQ(error_of(Reader::tps, "LM=2\n1 1\n-1 -1\nID=B7\n", true, missing),
              "f, line 3: specimen 1 (\"B7\"): landmark 2 is missing (negative coordinates); "
              "missing landmarks are not estimated");
    EXPECT_EQ(error_of(Reader::tps, "LM=2\n1 1\n"),
              "f, line 2: the file ends after 1 of 2 landmark lines");
    EXPECT_EQ(error_of(Reader::tps, "LM=2\n1 1\n1 2 3\n"),
              "f, line 3: expected the x y coordinates of landmark 2, found 3 values");
    EXPECT_EQ(error_of(Reader::tps, "ID=a\nLM=1\n1 1\n"),
              "f, line 1: expected LM= at the start of a specimen, found \"ID=a\"");
    EXPECT_EQ(error_of(Reader::tps, "LM=1\n1 1\nradii\n"),
              "f, line 3: expected a KEY= line or the LM= of the next specimen, found \"radii\"");
    EXPECT_EQ(error_of(Reader::tps, "LM=1\n1 1\nCURVES=1\nLM=1\n"),
              "f, line 4: expected POINTS= of curve 1 of 1");
    EXPECT_EQ(error_of(Reader::tps, "LM=x\n"), "f, line 1: LM= needs a count, found \"x\"");
    EXPECT_EQ(error_of(Reader::tps, "LM=1\n1 1e999\n"), "f, line 2: \"1e999\" is out of range");
}

TEST(NtsRead, HeaderLabelsCommentsAndMissingCodes) {
    const std::string text =
        "\" two triangles, one \"twice as large\"\n1 2L 6 0 DIM=2\nJ1 J2 \"labels\n"
        "0 0 3 0\n0 3\n0 0 6 0 0 6\n";
    const DataFileContents c = read(Reader::nts, text);
    EXPECT_EQ(c.data.row(1), row({0, 0, 6, 0, 0, 6, 2 * kTriangleCs}));
    EXPECT_EQ(c.ids, (std::vector<std::string>{"J1", "J2"}));
    const DataFileContents v = read(Reader::nts, "1 1 3L 0\nlogcs site tail\n2.5 0 1\n", false);
    EXPECT_EQ(v.data, row({2.5, 0, 1}));
    EXPECT_TRUE(v.ids.empty());

    EXPECT_EQ(error_of(Reader::nts, "1 2L 2 1 -999 DIM=2\na b\n1 2\n3 -999\n"),
              "f, line 4: specimen 2 (\"b\"): landmark 1 is missing; missing landmarks are not "
              "estimated");
    EXPECT_EQ(error_of(Reader::nts, "1 1 6 0 DIM=3\n1 2 3 4 5 6\n"),
              "f, line 1: 3D landmarks are not supported (DIM=3)");
    EXPECT_EQ(error_of(Reader::nts, "1 1 3 0 DIM=2\n1 2 3\n"),
              "f, line 1: 3 columns cannot be x, y pairs");
    EXPECT_EQ(error_of(Reader::nts, "1 1 2 0\n1 2\n3\n"),
              "f, line 3: more values than the header announces (1 x 2)");
    EXPECT_EQ(error_of(Reader::nts, "1 2 2 0\n1 2 3\n"),
              "f: the file ends after 3 of 2 x 2 values");
    EXPECT_EQ(error_of(Reader::nts, "2 2 2 0\n"),
              "f, line 1: matrix type \"2\" is not supported; only 1 (a rectangular data matrix) "
              "is");
}

TEST(DelimitedRead, IdsCoordinatesAndVariableTables) {
    const DataFileContents c = read(
        Reader::csv, "ID,x1,y1,x2,y2,x3,y3,CS\n\"J 1, left\",0,0,3,0,0,3,99\n\nJ2,0,0,6,0,0,6,1\n");
    EXPECT_EQ(c.ids, (std::vector<std::string>{"J 1, left", "J2"}));
    EXPECT_EQ(c.data.row(0), row({0, 0, 3, 0, 0, 3, kTriangleCs}));  // cs from the coordinates
    const DataFileContents t = read(Reader::csv, "X1\tY1\r\n1\t2\r\n");
    EXPECT_EQ(t.data, row({1, 2, 0}));
    EXPECT_TRUE(t.ids.empty());
    const DataFileContents v = read(Reader::csv, "specimen;logcs;cs\nA7;2.5;1\n", false);
    EXPECT_EQ(v.data, row({2.5, 1}));
    EXPECT_EQ(v.ids, std::vector<std::string>{"A7"});

    EXPECT_EQ(error_of(Reader::csv, "id,x1,y1\nA,1,NA\n"),
              "f, line 2: specimen 1 (\"A\"): landmark 1 is missing; missing landmarks are not "
              "estimated");
    EXPECT_EQ(error_of(Reader::csv, "id,logcs\nA,\n", false),
              "f, line 2: specimen 1 (\"A\"): no value for \"logcs\"; missing values are not "
              "supported");
    EXPECT_EQ(error_of(Reader::csv, "x1,x2,y1,y2\n1,2,3,4\n"),
              "f, line 1: column 2 (\"x2\") should be a y column: x and y columns alternate in "
              "landmark order");
    EXPECT_EQ(error_of(Reader::csv, "x1,y1,z1\n1,2,3\n"),
              "f, line 1: 3D landmarks are not supported (z columns)");
    EXPECT_EQ(error_of(Reader::csv, "a,b,c\n1,2,3\n"),
              "f, line 1: 3 coordinate columns cannot be x, y pairs");
    EXPECT_EQ(error_of(Reader::csv, "x1,y1\n1,2,3\n"),
              "f, line 2: expected 2 fields as in the header, found 3");
    EXPECT_EQ(error_of(Reader::csv, "x1,y1\n"),
              "f, line 1: the table has a header row but no data");
}

TEST(FormatDetect, OnlyWhatThePlainReaderRejectsGoesElsewhere) {
    const std::pair<const char*, DataFormat> cases[] = {
        {"1 2 3\n", DataFormat::plain},
        {"1 20 14 0\n", DataFormat::plain},
        {"1,2 % x,y\n", DataFormat::plain},
        {"% id,x1\n", DataFormat::plain},
        {"1 inf 3\n", DataFormat::plain},
        {"", DataFormat::plain},
        {"\xEF\xBB\xBF\n  LM = 3\n", DataFormat::tps},
        {"lm3=2\n", DataFormat::tps},
        {"LMX=2\n", DataFormat::plain},
        {"\" comment, with a comma\n", DataFormat::nts},
        {"1 20L 14 0\n", DataFormat::nts},
        {"1 20 14 0 dim=2\n", DataFormat::nts},
        {"id,x1,y1\n", DataFormat::delimited},
        {"\"\",\"x1\"\n", DataFormat::delimited},
        {"x1\ty1\n", DataFormat::delimited},
        {"specimen;cs\n", DataFormat::delimited},
        {"id,2\n", DataFormat::plain},
    };
    for (const auto& [head, want] : cases)
        EXPECT_EQ(detect_format(head), want) << head;
    std::istringstream plain("1 2\n3 4\n");
    EXPECT_EQ(read_data_stream(plain, "f", true).data.rows(), 2);
    std::istringstream tps("LM=1\n1 1\n");
    EXPECT_THROW(read_data_stream(tps, "f", false), DataFileError);  // TPS is never variables
}

TEST(Writers, TpsAndCsvTextsReadBackExactly) {
    Matrix m(2, 5);
    m << 0.1, -2, 3, 1e-20, 7, 1.0 / 3, 5, 6, 7, 8;
    EXPECT_EQ(tps_text(m.topRows(1), {"a b"}),
              "LM=2\n0.10000000000000001 -2\n3 9.9999999999999995e-21\nID=a b\n");
    EXPECT_EQ(csv_text(m.topRows(1), {"a,\"b\""}),
              "id,x1,y1,x2,y2,cs\n\"a,\"\"b\"\"\",0.10000000000000001,-2,3,9.9999999999999995e-21,"
              "7\n");
    EXPECT_EQ(csv_text(m.leftCols(2)), "v1,v2\n0.10000000000000001,-2\n0.33333333333333331,5\n");

    const std::vector<std::string> ids{"a,\"b\"", "c"};
    std::istringstream tps(tps_text(m, ids)), csv(csv_text(m, ids));
    const DataFileContents t = read_tps(tps, "f"), c = read_delimited(csv, "f", true);
    EXPECT_EQ(t.data.leftCols(4), m.leftCols(4));
    EXPECT_EQ(t.data, c.data);
    EXPECT_EQ(t.ids, ids);
    EXPECT_EQ(c.ids, ids);

    EXPECT_THROW(tps_text(m.leftCols(4)), Error);
    EXPECT_THROW(tps_text(m, {"one"}), Error);
    EXPECT_THROW(csv_text(Matrix()), Error);
}

}  // namespace
}  // namespace tesvane
