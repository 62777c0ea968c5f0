// Synthetic two-block data and a headless program holding them, for the analysis tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/BootSVD2Angle.hpp"
#include "app/Tesvanesw.hpp"
#include "app/app_fixture.hpp"
#include "app/run_command.hpp"
#include "geometry/centsize.hpp"
#include "platform/matrix.hpp"

namespace tesvane::test {

// One group's blocks: n specimens of a k1- and a k2-landmark outline whose shapes move with one
// shared factor (so the blocks covary), plus noise; each configuration is turned, scaled and
// moved at random and carries its centroid size last.
struct Group {
    Matrix b1, b2;
};

inline Group synthetic_group(int k1, int k2, int n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto outline = [&](int k, double rx) {  // rows: x, y, and the direction of the shape change
        Matrix m(4, k);
        for (int j = 0; j < k; ++j) {
            const double a = 2.0 * M_PI * j / k;
            m(0, j) = rx * (1.0 + 0.2 * unit(rng)) * std::cos(a);
            m(1, j) = (1.0 + 0.2 * unit(rng)) * std::sin(a);
            m(2, j) = noise(rng);
            m(3, j) = noise(rng);
        }
        return m;
    };
    const Matrix o1 = outline(k1, 1.5), o2 = outline(k2, 0.8);
    auto place = [&](const Matrix& o, double f, Matrix& out, int i) {
        const Index k = o.cols();
        const double t = 2.0 * M_PI * unit(rng), s = 5.0 + 10.0 * unit(rng);
        const double dx = 100.0 * unit(rng), dy = 100.0 * unit(rng);
        for (Index j = 0; j < k; ++j) {
            const double px = o(0, j) + 0.03 * f * o(2, j) + 0.01 * noise(rng);
            const double py = o(1, j) + 0.03 * f * o(3, j) + 0.01 * noise(rng);
            out(i, 2 * j) = s * (std::cos(t) * px - std::sin(t) * py) + dx;
            out(i, 2 * j + 1) = s * (std::sin(t) * px + std::cos(t) * py) + dy;
        }
        out(i, 2 * k) = 0.0;
        out(i, 2 * k) = centsize(out.row(i))(0);
    };
    Group g{Matrix(n, 2 * k1 + 1), Matrix(n, 2 * k2 + 1)};
    for (int i = 0; i < n; ++i) {
        const double f = noise(rng);
        place(o1, f, g.b1, i);
        place(o2, f + 0.5 * noise(rng), g.b2, i);
    }
    return g;
}

// A variable block of n specimens and p variables that follows block 1's first landmark.
inline Matrix variables_of(const Matrix& b1, int p, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    Matrix v(b1.rows(), p);
    for (Index i = 0; i < b1.rows(); ++i)
        for (int j = 0; j < p; ++j)
            v(i, j) = (j + 1) * (b1(i, 0) - b1(i, 2)) / b1(i, b1.cols() - 1) + 0.1 * noise(rng);
    return v;
}

// The blocks as the load actions leave them in the session (the analysis superimposes them
// again, so raw coordinates serve as well).
inline void put_blocks(AppContext& c, const Matrix& d1, const Matrix& d2, const Matrix& d1g,
                       const Matrix& d2g, bool landmarks2) {
    c.vars.set("data1", d1);
    c.vars.set("data2", d2);
    c.vars.set("data1g", d1g);
    c.vars.set("data2g", d2g);
    c.vars.set("activem2", landmarks2 ? 1.0 : 0.0);
}

// The program started.
class AnalysisTest : public AppTest {
  protected:
    AnalysisTest() { start(); }

    void set_groups(const Group& g1, const Group& g2) {
        put_blocks(ctx, g1.b1, g1.b2, g2.b1, g2.b2, true);
    }
    // A block as a data file of the test's folder, at full precision.
    std::string block_file(const std::string& name, const Matrix& m) {
        std::ostringstream s;
        s << m.format(Eigen::IOFormat(17, Eigen::DontAlignCols, " ", "\n")) << "\n";
        return write(name, s.str()).string();
    }

    // Both groups' blocks as data files "<n1>_b1.txt" ... of the test's folder.
    RunOptions block_files(const Group& a, const Group& b, const std::string& n1 = "a",
                           const std::string& n2 = "b") {
        RunOptions o;
        o.g1b1 = block_file(n1 + "_b1.txt", a.b1);
        o.g1b2 = block_file(n1 + "_b2.txt", a.b2);
        o.g2b1 = block_file(n2 + "_b1.txt", b.b1);
        o.g2b2 = block_file(n2 + "_b2.txt", b.b2);
        return o;
    }
    // The files of a run loaded and analysed through the actions, as with the buttons.
    void analyse_in_window(const RunOptions& o) {
        ui.control("Morph2").set_value(o.block2_landmarks);
        ui.control("HomologyButton").set_value(o.homology);
        for (const auto& [name, file] : {std::pair{"LoadG1B1", o.g1b1},
                                         {"LoadG1B2", o.g1b2},
                                         {"LoadG2B1", o.g2b1},
                                         {"LoadG2B2", o.g2b2}})
            ASSERT_TRUE(load(name, file));
        ui.control("PermuteButton").set_value(o.permutations ? 1 : 0);
        ui.control("PermBox").set_string(std::to_string(o.permutations.value_or(0)));
        ctx.resampling = {o.seed, 1};
        ASSERT_TRUE(action("DoSVD2"));
    }

    bool action(const std::string& name) { return run_action(ctx, name); }
    std::string report() { return control("AuxResults"); }
    const Matrix& var(const std::string& name) { return ctx.vars.matrix(name); }
};

// The lines of a report (split at line breaks; the first is the header).
inline std::vector<std::string> report_lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    if (text.empty() || text.back() == '\n')
        out.emplace_back();
    return out;
}

}  // namespace tesvane::test
