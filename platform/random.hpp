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

// One stream of uniform draws; independent streams come from different seeds.
class UniformStream {
public:
    explicit UniformStream(std::uint64_t seed = kDefaultRandomSeed) : engine_(seed) {}
    // A double in (0, 1): 53 random bits placed at the centre of their cell, never 0 or 1.
    double next() { return (static_cast<double>(engine_() >> 11) + 0.5) * 0x1.0p-53; }
    void seed(std::uint64_t s) { engine_.seed(s); }

private:
    std::mt19937_64 engine_;
};

// The process-wide generator.
UniformStream& process_random();
double rand_uniform();
void set_random_seed(std::uint64_t seed);

}  // namespace tesvane
