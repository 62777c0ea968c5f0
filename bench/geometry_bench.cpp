// Timings of the two block-level geometry routines on seeded synthetic landmark blocks.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "geometry/centsize.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpw_arbit.hpp"
#include "platform/matrix.hpp"

namespace {

using tesvane::Index;
using tesvane::Matrix;

// n perturbed copies of one irregular k-landmark outline, each turned, scaled and moved at
// random, with its centroid size in the last column.
Matrix synthetic_block(int k, int n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Matrix base(2, k);
    for (int j = 0; j < k; ++j) {
        const double a = 2.0 * M_PI * j / k;
        const double r = 1.0 + 0.3 * unit(rng);
        base(0, j) = 1.5 * r * std::cos(a);
        base(1, j) = r * std::sin(a);
    }
    Matrix x(n, 2 * k + 1);
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * unit(rng);
        const double s = 5.0 + 10.0 * unit(rng);
        const double dx = 100.0 * unit(rng);
        const double dy = 100.0 * unit(rng);
        for (int j = 0; j < k; ++j) {
            const double px = base(0, j) + 0.03 * noise(rng);
            const double py = base(1, j) + 0.03 * noise(rng);
            x(i, 2 * j) = s * (std::cos(t) * px - std::sin(t) * py) + dx;
            x(i, 2 * j + 1) = s * (std::sin(t) * px + std::cos(t) * py) + dy;
        }
        x(i, 2 * k) = 0.0;
        x(i, 2 * k) = tesvane::centsize(x.row(i))(0);
    }
    return x;
}

void BM_getconsensus(benchmark::State& state) {
    const Matrix x = synthetic_block(static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1)), 20240611u);
    int passes = 0;
    for (auto _ : state) {
        tesvane::Consensus c = tesvane::getconsensus(x);
        passes = c.iterations;
        benchmark::DoNotOptimize(c.reference.data());
    }
    state.counters["passes"] = passes;
}

void BM_getpw_arbit(benchmark::State& state) {
    const Matrix x = synthetic_block(static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1)), 20240611u);
    const tesvane::Consensus c = tesvane::getconsensus(x);
    for (auto _ : state) {
        Matrix scores = tesvane::getpw_arbit(c.reference, c.superimposed);
        benchmark::DoNotOptimize(scores.data());
    }
}

}  // namespace

BENCHMARK(BM_getconsensus)->Args({12, 40})->Args({100, 200})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_getpw_arbit)->Args({12, 40})->Args({100, 200})->Unit(benchmark::kMicrosecond);
