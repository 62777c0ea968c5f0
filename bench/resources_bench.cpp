// Resources of loading and of wide analyses:
// - LoadMemory: the peak memory of reading a 40 MB plain landmark file, as a multiple of the
//   file's size (counter "peak/file"; the target is at most 3);
// - ManyVariables: DoSVD2 with 5000 variables in block 2 on 30 specimens per group, which goes
//   through the rank of the data (seconds, not minutes).
//
//   build/bench/tesvane_bench --benchmark_filter='LoadMemory|ManyVariables'
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "analysis/DoSVD2.hpp"
#include "app/Tesvane6i.hpp"
#include "app/script_runner.hpp"
#include "io/landmark_file.hpp"
#include "platform/headless/headless_platform.hpp"

namespace {

using namespace tesvane;

// A kB figure of /proc/self/status ("VmHWM", "VmRSS").
long status_kb(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(line.find(':') + 1));
    return 0;
}

// The growth of the peak resident memory while `work` runs, in bytes, measured in a child
// process so that earlier allocations of the benchmark do not hide it.
template <class Work>
double peak_growth(Work work) {
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak to the current size
        const long before = status_kb("VmRSS");
        work();
        const double grown = 1024.0 * static_cast<double>(status_kb("VmHWM") - before);
        (void)!::write(fds[1], &grown, sizeof grown);
        ::_exit(0);
    }
    double grown = -1;
    (void)!::read(fds[0], &grown, sizeof grown);
    ::close(fds[0]);
    ::close(fds[1]);
    ::waitpid(child, nullptr, 0);
    return grown;
}

std::string landmark_file(std::size_t bytes) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tesvane_bench_load_" + std::to_string(::getpid()) + ".txt"))
                                 .string();
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> u(0.0, 500.0);
    std::size_t written = 0;
    while (written < bytes) {
        for (int j = 0; j < 41; ++j)
            written += static_cast<std::size_t>(std::fprintf(f, j ? " %.6f" : "%.6f", u(rng)));
        written += static_cast<std::size_t>(std::fprintf(f, "\n"));
    }
    std::fclose(f);
    return path;
}

void BM_LoadMemory(benchmark::State& state) {
    const std::string path = landmark_file(40u << 20);
    const double size = static_cast<double>(std::filesystem::file_size(path));
    double grown = 0;
    for (auto _ : state)
        grown = peak_growth([&] { benchmark::DoNotOptimize(read_data_file(path, true)); });
    state.counters["file MB"] = size / (1 << 20);
    state.counters["peak/file"] = grown / size;
    std::filesystem::remove(path);
}

Matrix random_block(Index n, Index p, unsigned seed, bool landmarks) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> d;
    Matrix m(n, p);
    for (Index i = 0; i < n; ++i)
        for (Index j = 0; j < p; ++j)
            m(i, j) = (landmarks ? 10.0 * (j % 7) : 0.0) + d(rng);
    if (landmarks)
        m.col(p - 1).setOnes();
    return m;
}

void BM_ManyVariables(benchmark::State& state) {
    const Index p = state.range(0);
    HeadlessPlatform ui;
    add_window_controls(ui);
    ui.open_results_window();
    AppContext ctx(ui);
    for (auto _ : state) {
        state.PauseTiming();
        ctx.vars.set("data1", random_block(30, 17, 1, true));
        ctx.vars.set("data1g", random_block(30, 17, 2, true));
        ctx.vars.set("data2", random_block(30, p, 3, false));
        ctx.vars.set("data2g", random_block(30, p, 4, false));
        ctx.vars.set("activem2", 0.0);
        state.ResumeTiming();
        DoSVD2(ctx);
    }
    state.SetLabel(std::to_string(p) + " variables on 30 specimens");
}

}  // namespace

BENCHMARK(BM_LoadMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyVariables)->Arg(500)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond);
