// Uniform random numbers on the open interval (0, 1).
//
// The program never seeds the process-wide generator itself, so every fresh start draws the same
// sequence and reproduces the same bootstrap; set_random_seed() exists for tests and for users
// who ask for a different stream.
#pragma once

#include <cstdint>
#include <random>

namespace tesvane {

inline constexpr std::uint64_t kDefaultRandomSeed = 5489u;

// How the bootstrap and the permutation tests run; neither changes their results.
struct ResamplingSettings {
    std::uint64_t seed = kDefaultRandomSeed;
    unsigned threads = 0;  // 0: one per core
};

// One stream of uniform draws; independent streams come from different seeds.
class UniformStream {
  public:
    explicit UniformStream(std::uint64_t seed = kDefaultRandomSeed) : engine_(seed) {}
    double next() { return to_unit(engine_()); }
    // A double in (0, 1) from 64 random bits: the top 52 placed at the centre of their cell, which
    // is exact, so never 0 or 1. (53 bits plus a half need 54 and would round up to 1.)
    static double to_unit(std::uint64_t bits) {
        return (static_cast<double>(bits >> 12) + 0.5) * 0x1.0p-52;
    }
    void seed(std::uint64_t s) { engine_.seed(s); }

  private:
    std::mt19937_64 engine_;
};

// The SplitMix64 finaliser: mixes a seed with a stream number into a well-spread seed, so that
// streams derived from neighbouring numbers are unrelated.
constexpr std::uint64_t splitmix64(std::uint64_t z) {
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// The process-wide generator.
UniformStream& process_random();
double rand_uniform();
void set_random_seed(std::uint64_t seed);

}  // namespace tesvane
