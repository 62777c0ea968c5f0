// Seeded random inputs for the data file reader: mutations of the fuzz corpus must keep the
// reader's contract, and random tables written in any accepted layout must read back exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/dload_contract.hpp"
#include "platform/cformat.hpp"
#include "test_paths.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> seeds() {
    std::vector<std::string> out;
    const fs::path corpus = test::source_dir() / "tests/fuzz/corpus/dload";
    for (const auto& e : fs::directory_iterator(corpus)) {
        if (e.is_regular_file())
            out.push_back(slurp(e.path()));
    }
    if (const fs::path d = test::dataset("plethodon"); !d.empty())
        out.push_back(slurp(d / "Jord_b1.txt"));
    return out;
}

// One random edit of the kinds that matter to the reader: its special bytes, cuts and copies.
std::string mutate(std::string s, std::mt19937& rng) {
    static const char bytes[] = "\n\r\0\t ,%.eE+-0123456789x\xEF\xBB\xBF";
    static const std::string special(bytes, sizeof bytes - 1);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(rng);
    };
    const std::size_t edits = 1 + pick(3);
    for (std::size_t k = 0; k < edits; ++k) {
        const std::size_t at = pick(s.size());
        switch (pick(3)) {
            case 0:
                s.insert(at, 1, special[pick(special.size() - 1)]);
                break;
            case 1:
                if (at < s.size())
                    s[at] = special[pick(special.size() - 1)];
                break;
            case 2:
                s.erase(at, pick(4));
                break;
            default:
                s.insert(at, s.substr(pick(s.size()), pick(8)));
                break;
        }
    }
    return s;
}

std::string escaped(const std::string& s) {
    std::string out;
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        out += (u >= 0x20 && u < 0x7F) ? std::string(1, c) : cformat("\\x%02X", u);
    }
    return out;
}

TEST(DloadFuzzReplay, MutationsKeepTheContract) {
    const std::vector<std::string> corpus = seeds();
    ASSERT_GE(corpus.size(), 10u);
    std::mt19937 rng(20240611);
    for (int i = 0; i < 20000; ++i) {
        const std::string s = mutate(corpus[static_cast<std::size_t>(i) % corpus.size()], rng);
        ASSERT_TRUE(test::dload_keeps_its_contract(s)) << "case " << i << ": " << escaped(s);
    }
}

// Random tables, written with random separators, line ends and comments, read back exactly.
TEST(DloadFuzzReplay, RandomTablesRoundTrip) {
    std::mt19937 rng(7);
    const std::vector<std::string> separators{" ", ",", "\t", " , ", "  \t", ",,"};
    const std::vector<std::string> line_ends{"\n", "\r\n", "\r"};
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(rng);
    };
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    int dropped = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const Index rows = 1 + static_cast<Index>(pick(5));
        const Index cols = 1 + static_cast<Index>(pick(4));
        Matrix x(rows, cols);
        std::string text;
        const std::string& end = line_ends[pick(2)];
        for (Index i = 0; i < rows; ++i) {
            if (pick(3) == 0)
                text += separators[pick(5)];
            for (Index j = 0; j < cols; ++j) {
                // Whole numbers, short decimals and full-precision values of any magnitude.
                const int kind = static_cast<int>(pick(2));
                x(i, j) = kind == 0 ? static_cast<double>(static_cast<int>(mantissa(rng) * 2))
                          : kind == 1
                              ? std::round(mantissa(rng) * 1000) / 1000
                              : mantissa(rng) * std::pow(10.0, static_cast<double>(pick(80)) - 40);
                text += cformat(kind == 2 ? "%.17g" : "%g", x(i, j));
                text += j + 1 < cols ? separators[pick(5)] : (pick(3) == 0 ? " " : "");
            }
            if (pick(4) == 0)
                text += " % row " + std::to_string(i + 1);
            if (i + 1 < rows || pick(1) == 0)
                text += end;
        }
        // A last line of one character without a line end is not data.
        const std::size_t last_end = text.find_last_of("\n\r");
        const bool drop_last = rows > 1 && last_end == text.size() - 2;
        if (pick(2) == 0 && last_end == text.size() - 1)
            text += end + "junk after the data\n";
        std::istringstream in(text, std::ios::in | std::ios::binary);
        const Matrix got = read_numeric_table(in, "mem.txt");
        const Index want_rows = drop_last ? rows - 1 : rows;
        ASSERT_EQ(got.rows(), want_rows) << escaped(text);
        ASSERT_EQ(got.cols(), cols) << escaped(text);
        EXPECT_TRUE(got == x.topRows(want_rows)) << escaped(text);
        dropped += drop_last;
    }
    EXPECT_GT(dropped, 0);  // the loop did meet the one-character rule
}

}  // namespace
}  // namespace tesvane
