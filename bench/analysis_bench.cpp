// Timings of the analysis and of a 1000-replicate bootstrap, on a published dataset and on a
// large synthetic one (block 1 of 60 landmarks, block 2 of 40, 100 specimens per group).
//
//   build/bench/tesvane_bench --benchmark_filter='DoSVD2|Bootstrap'
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/DoSVD2.hpp"
#include "app/script_runner.hpp"
#include "geometry/centsize.hpp"
#include "io/dload.hpp"
#include "platform/headless/headless_platform.hpp"

namespace {

using namespace tesvane;

struct Blocks {
    Matrix data1, data2, data1g, data2g;
    bool landmarks2 = true;
    bool ok = false;
};

// A published dataset by its MANIFEST; not ok when the folder is absent.
Blocks published(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(TESVANE_DATA_DIR) / name;
    std::ifstream manifest(dir / "MANIFEST");
    std::map<std::string, std::string> m;
    for (std::string line; std::getline(manifest, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            m[line.substr(0, eq)] = line.substr(eq + 1);
    }
    Blocks b;
    if (m.empty())
        return b;
    auto load = [&](const std::string& group, const char* block) {
        return dload((dir / (group + block)).string());
    };
    b.data1 = load(m["group1"], "_b1.txt");
    b.data2 = load(m["group1"], "_b2.txt");
    b.data1g = load(m["group2"], "_b1.txt");
    b.data2g = load(m["group2"], "_b2.txt");
    b.landmarks2 = m["block2"] == "landmarks";
    b.ok = true;
    return b;
}

// n specimens of a k1- and a k2-landmark outline that share one latent factor, each turned,
// scaled and moved at random, with centroid sizes in the last columns.
void synthetic_group(int k1, int k2, int n, unsigned seed, Matrix& b1, Matrix& b2) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto outline = [&](int k, double rx) {
        Matrix base(2, k), dir(2, k);
        for (int j = 0; j < k; ++j) {
            const double a = 2.0 * M_PI * j / k;
            base(0, j) = rx * (1.0 + 0.2 * unit(rng)) * std::cos(a);
            base(1, j) = (1.0 + 0.2 * unit(rng)) * std::sin(a);
            dir(0, j) = noise(rng);
            dir(1, j) = noise(rng);
        }
        return std::pair{base, dir};
    };
    const auto [base1, dir1] = outline(k1, 1.5);
    const auto [base2, dir2] = outline(k2, 0.8);
    auto place = [&](const Matrix& base, const Matrix& dir, double f, Matrix& out, int i) {
        const int k = static_cast<int>(base.cols());
        const double t = 2.0 * M_PI * unit(rng), s = 5.0 + 10.0 * unit(rng);
        const double dx = 100.0 * unit(rng), dy = 100.0 * unit(rng);
        for (int j = 0; j < k; ++j) {
            const double px = base(0, j) + 0.02 * f * dir(0, j) + 0.01 * noise(rng);
            const double py = base(1, j) + 0.02 * f * dir(1, j) + 0.01 * noise(rng);
            out(i, 2 * j) = s * (std::cos(t) * px - std::sin(t) * py) + dx;
            out(i, 2 * j + 1) = s * (std::sin(t) * px + std::cos(t) * py) + dy;
        }
        out(i, 2 * k) = 0.0;
        out(i, 2 * k) = centsize(out.row(i))(0);
    };
    b1.resize(n, 2 * k1 + 1);
    b2.resize(n, 2 * k2 + 1);
    for (int i = 0; i < n; ++i) {
        const double f = noise(rng);
        place(base1, dir1, f, b1, i);
        place(base2, dir2, f + 0.5 * noise(rng), b2, i);
    }
}

Blocks large_case() {
    Blocks b;
    synthetic_group(60, 40, 100, 11u, b.data1, b.data2);
    synthetic_group(60, 40, 100, 12u, b.data1g, b.data2g);
    b.ok = true;
    return b;
}

// A silent headless program holding the blocks as the load actions would leave them.
struct Program {
    HeadlessPlatform ui;
    AppContext ctx{ui};
    explicit Program(const Blocks& b) {
        add_window_controls(ui);
        ui.open_results_window();
        load(b);
    }
    void load(const Blocks& b) {
        ctx.vars.set("data1", b.data1);
        ctx.vars.set("data2", b.data2);
        ctx.vars.set("data1g", b.data1g);
        ctx.vars.set("data2g", b.data2g);
        ctx.vars.set("activem2", b.landmarks2 ? 1.0 : 0.0);
    }
};

const Blocks& dataset(int which) {
    static const Blocks sets[] = {published("plethodon_vars"), published("plethodon"),
                                  large_case()};
    return sets[which];
}
const char* const kNames[] = {"plethodon_vars", "plethodon", "large 60/40 x 100"};

void BM_DoSVD2(benchmark::State& state) {
    const Blocks& b = dataset(static_cast<int>(state.range(0)));
    if (!b.ok) {
        state.SkipWithError("the published datasets are not here");
        return;
    }
    state.SetLabel(kNames[state.range(0)]);
    Program p(b);
    for (auto _ : state) {
        state.PauseTiming();
        p.load(b);
        state.ResumeTiming();
        DoSVD2(p.ctx);
    }
}

void BM_Bootstrap1000(benchmark::State& state) {
    const Blocks& b = dataset(static_cast<int>(state.range(0)));
    if (!b.ok) {
        state.SkipWithError("the published datasets are not here");
        return;
    }
    const unsigned threads = static_cast<unsigned>(state.range(1));
    state.SetLabel(std::string(kNames[state.range(0)]) + ", " + std::to_string(threads) +
                   " thread(s)");
    Program p(b);
    DoSVD2(p.ctx);
    p.ui.control("BootBox").set_string("1000");
    p.ctx.resampling.threads = threads;
    for (auto _ : state)
        BootSVD2Angle(p.ctx);
}

}  // namespace

BENCHMARK(BM_DoSVD2)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bootstrap1000)
    ->Args({1, 1})
    ->Args({1, 2})
    ->Args({2, 2})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
