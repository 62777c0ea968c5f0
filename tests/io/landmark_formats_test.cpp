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
#include "test_util.hpp"

namespace tesvane {
namespace {

enum class Reader { tps, nts, csv };
using enum Reader;

struct Options {
    bool landmarks = true;
    TpsOptions tps;
};

DataFileContents read(Reader r, const std::string& text, const Options& o = {}) {
    std::istringstream in(text, std::ios::in | std::ios::binary);
    if (r == tps)
        return read_tps(in, "f", o.tps);
    return r == nts ? read_nts(in, "f", o.landmarks) : read_delimited(in, "f", o.landmarks);
}

using test::rows;

// The right triangle (0,0) (3,0) (0,3): centroid (1,1), squared distances 2 + 5 + 5.
const double kCs = std::sqrt(12.0);
const Options kVariables{false, {}}, kCurves{true, {false, true}}, kMissing{true, {true, false}};
// Two triangles with keys the reader skips, then a second record with CR LF line ends.
const std::string kTpsText =
    "lm=3\n0 0\n3 0\n0 3\nId=radii\nIMAGE=id.jpg\nSCALE=2\nCOMMENT=ID=x\nVARIABLES=1\n"
    "curves=1\nPOINTS=2\n9 9\n8 8\nLM=3\r\n-1 0\r\n2 0\r\n-1 3\r\nID=ulna\r\nscale=1\r\n";

void expect_read(Reader r, const std::string& text, const Matrix& data,
                 const std::vector<std::string>& ids, const Options& o = {}) {
    SCOPED_TRACE(text);
    const DataFileContents got = read(r, text, o);
    ASSERT_EQ(got.data.rows(), data.rows());
    ASSERT_EQ(got.data.cols(), data.cols());
    EXPECT_EQ(got.data, data);
    EXPECT_EQ(got.ids, ids);
}

// Reading `text` must fail with "f, line <line>: <what>", or "f: <what>" for line 0.
void expect_error(Reader r, const std::string& text, int line, const std::string& what,
                  const Options& o = {}) {
    SCOPED_TRACE(text);
    try {
        read(r, text, o);
        ADD_FAILURE() << "no error";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.file(), "f");
        EXPECT_EQ(e.what(), (line ? "f, line " + std::to_string(line) : "f") + ": " + what);
    }
}

TEST(LandmarkReaders, ValuesIdsAndCentroidSizes) {
    const Matrix triangles = rows({{0, 0, 3, 0, 0, 3, kCs}, {0, 0, 6, 0, 0, 6, 2 * kCs}});
    // SCALE= multiplies; negatives are data.
    expect_read(tps, kTpsText, rows({{0, 0, 6, 0, 0, 6, 2 * kCs}, {-1, 0, 2, 0, -1, 3, kCs}}),
                {"radii", "ulna"});
    // Curve points after the landmarks: (0,0) (3,0) (0,3) (9,9) (8,8) about (4,4), doubled.
    expect_read(tps, kTpsText.substr(0, kTpsText.find("LM=3")),
                rows({{0, 0, 6, 0, 0, 6, 18, 18, 16, 16, 2 * std::sqrt(148.0)}}), {"radii"},
                kCurves);
    expect_read(tps, "LM=1\n1 1\nLM=1\n2 2\nID=b\n", rows({{1, 1, 0}, {2, 2, 0}}),
                {});  // all or none
    expect_read(nts,
                "\" two triangles, one \"twice as large\"\n1 2L 6 0 DIM=2\nJ1 J2 \"labels\n"
                "0 0 3 0\n0 3\n0 0 6 0 0 6\n",
                triangles, {"J1", "J2"});
    expect_read(nts, "1 1 3L 0\nlogcs site tail\n2.5 0 1\n", rows({{2.5, 0, 1}}), {}, kVariables);
    // The CS column is recomputed from the coordinates.
    expect_read(csv, "ID,x1,y1,x2,y2,x3,y3,CS\n\"J 1, left\",0,0,3,0,0,3,99\n\nJ2,0,0,6,0,0,6,1\n",
                triangles, {"J 1, left", "J2"});
    expect_read(csv, "X1\tY1\r\n1\t2\r\n", rows({{1, 2, 0}}), {});
    expect_read(csv, "specimen;logcs;cs\nA7;2.5;1\n", rows({{2.5, 1}}), {"A7"}, kVariables);
    // Decimal commas with semicolons or tabs, in every column alike; a numeric first column is a
    // variable unless a word of its name says IDs; a column of words holds IDs.
    expect_read(csv, "a;b\n1,5;2,25\n-3;4e-1\n", rows({{1.5, 2.25}, {-3, 0.4}}), {}, kVariables);
    expect_read(csv, "a\tb\n1,5\t2\n", rows({{1.5, 2}}), {}, kVariables);
    expect_read(csv, "specimen_no\tlogcs\n101\t2,5\n", rows({{2.5}}), {"101"}, kVariables);
    expect_read(csv, "Catalog #,v\n12,3\n", rows({{3}}), {"12"}, kVariables);
    expect_read(csv, "Sample ID;x1;y1\n7;0;0\n", rows({{0, 0, 0}}), {"7"});
    expect_read(csv, "a;b\nx1;2\ny;3\n", rows({{2}, {3}}), {"x1", "y"}, kVariables);
    expect_read(csv, "identity;b\n1;2\n", rows({{1, 2}}), {}, kVariables);
}

TEST(LandmarkReaders, ErrorsNameFileLineAndSpecimen) {
    expect_error(csv, "a;b\n1;2\nx;3\n", 3,
                 "column 1 (\"a\") holds numbers (line 2) and words (\"x\"); name it id if it "
                 "holds specimen IDs, else correct the value",
                 kVariables);
    expect_error(csv, "a,b\n\"1,5\",2\n", 2,
                 "\"1,5\" has a decimal comma in a comma-separated file: use a decimal point, or "
                 "separate the fields by semicolons or tabs",
                 kVariables);
    expect_error(csv, "a;b\n1.000,5;2\n", 2,
                 "\"1.000,5\" is not a number; name column 1 id if it holds specimen IDs",
                 kVariables);
    expect_error(csv, "a;b\n1;2.000,5\n", 2, "\"2.000,5\" is not a number", kVariables);
    const std::string no_scale = "has no SCALE= value, but other specimens have one";
    const std::string not_estimated = "is missing; missing landmarks are not estimated";
    expect_error(tps, kTpsText, 14, "specimen 2 (\"ulna\") has 3 landmarks, specimen 1 has 5",
                 kCurves);
    expect_error(tps, "\nLM3=2\n1 2 3\n", 2, "3D landmarks are not supported (LM3=)");
    expect_error(tps, "LM=1\n1 1\nSCALE=2\nLM=1\n1 1\nSCALE=\nLM=1\n1 1\n", 6,
                 "specimen 2 " + no_scale);
    expect_error(tps, "LM=1\n1 1\nSCALE=2\nLM=1\n1 1\nID=b\n", 4, "specimen 2 (\"b\") " + no_scale);
    expect_error(tps, "LM=1\n1 1\nSCALE=-2\n", 3, "SCALE= must be a positive number");
    expect_error(tps, "LM=2\n1 1\n-1 -1\nID=B7\n", 3,
                 "specimen 1 (\"B7\"): landmark 2 is missing (negative coordinates); missing "
                 "landmarks are not estimated",
                 kMissing);
    expect_error(tps, "LM=2\n1 1\n", 2, "the file ends after 1 of 2 landmark lines");
    expect_error(tps, "LM=2\n1 1\n1 2 3\n", 3,
                 "expected the x y coordinates of landmark 2, found 3 values");
    expect_error(tps, "ID=a\nLM=1\n1 1\n", 1,
                 "expected LM= at the start of a specimen, found \"ID=a\"");
    expect_error(tps, "LM=1\n1 1\nradii\n", 3,
                 "expected a KEY= line or the LM= of the next specimen, found \"radii\"");
    expect_error(tps, "LM=1\n1 1\nCURVES=1\nLM=1\n", 4, "expected POINTS= of curve 1 of 1");
    expect_error(tps, "LM=x\n", 1, "LM= needs a count, found \"x\"");
    expect_error(tps, "LM=1\n1 1e999\n", 2, "\"1e999\" is out of range");
    expect_error(nts, "1 2L 2 1 -999 DIM=2\na b\n1 2\n3 -999\n", 4,
                 "specimen 2 (\"b\"): landmark 1 " + not_estimated);
    expect_error(nts, "1 1 6 0 DIM=3\n1 2 3 4 5 6\n", 1, "3D landmarks are not supported (DIM=3)");
    expect_error(nts, "1 1 3 0 DIM=2\n1 2 3\n", 1, "3 columns cannot be x, y pairs");
    expect_error(nts, "1 1 2 0\n1 2\n3\n", 3, "more values than the header announces (1 x 2)");
    expect_error(nts, "1 2 2 0\n1 2 3\n", 0, "the file ends after 3 of 2 x 2 values");
    expect_error(nts, "2 2 2 0\n", 1,
                 "matrix type \"2\" is not supported; only 1 (a rectangular data matrix) is");
    expect_error(csv, "id,x1,y1\nA,1,NA\n", 2, "specimen 1 (\"A\"): landmark 1 " + not_estimated);
    expect_error(csv, "id,logcs\nA,\n", 2,
                 "specimen 1 (\"A\"): no value for \"logcs\"; missing values are not supported",
                 kVariables);
    expect_error(csv, "x1,x2,y1,y2\n1,2,3,4\n", 1,
                 "column 2 (\"x2\") should be a y column: x and y columns alternate in landmark "
                 "order");
    expect_error(csv, "x1,y1,z1\n1,2,3\n", 1, "3D landmarks are not supported (z columns)");
    expect_error(csv, "a,b,c\n1,2,3\n", 1, "3 coordinate columns cannot be x, y pairs");
    expect_error(csv, "x1,y1\n1,2,3\n", 2, "expected 2 fields as in the header, found 3");
    expect_error(csv, "x1,y1\n", 1, "the table has a header row but no data");
}

TEST(FormatDetect, OnlyWhatThePlainReaderRejectsGoesElsewhere) {
    const std::pair<DataFormat, std::vector<std::string>> cases[] = {
        {DataFormat::plain,
         {"1 2 3\n", "1 20 14 0\n", "1,2 % x,y\n", "% id,x1\n", "1 inf 3\n", "", "LMX=2\n",
          "id,2\n"}},
        {DataFormat::tps, {"\xEF\xBB\xBF\n  LM = 3\n", "lm3=2\n"}},
        {DataFormat::nts, {"\" comment, with a comma\n", "1 20L 14 0\n", "1 20 14 0 dim=2\n"}},
        {DataFormat::delimited, {"id,x1,y1\n", "\"\",\"x1\"\n", "x1\ty1\n", "specimen;cs\n"}},
    };
    for (const auto& [want, heads] : cases) {
        for (const std::string& head : heads)
            EXPECT_EQ(detect_format(head), want) << head;
    }
    std::istringstream plain("1 2\n3 4\n");
    EXPECT_EQ(read_data_stream(plain, "f", true).data.rows(), 2);
    std::istringstream tps("LM=1\n1 1\n");
    EXPECT_THROW(read_data_stream(tps, "f", false), DataFileError);  // TPS is never variables
}

TEST(FormatWriters, TpsAndCsvTextsReadBackExactly) {
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
