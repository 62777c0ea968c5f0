// Writes the bundled synthetic example: two groups of specimens, each with a block of landmark
// configurations and a second block that is either landmarks or a table of variables.
//
// Block 1 and block 2 share one latent factor per specimen, so the two blocks covary; group 2
// uses a different direction for block 2 so that the angles between the groups' axes are not
// zero. Every specimen is rotated, scaled and moved at random, as digitised data would be.
//
// Usage: tesvane_make_examples OUTPUT_FOLDER
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/random.hpp"

namespace {

using Config = std::vector<double>;  // x1 y1 ... xk yk

class Normal {
  public:
    explicit Normal(std::uint64_t seed) : u_(seed) {}
    // Box-Muller on the project's own uniform stream, so the output does not depend on the
    // standard library's distributions.
    double next() {
        const double r = std::sqrt(-2.0 * std::log(u_.next()));
        return r * std::cos(2.0 * M_PI * u_.next());
    }
    double uniform() { return u_.next(); }

  private:
    tesvane::UniformStream u_;
};

Config outline(int k, double rx, double ry, double wobble) {
    Config c;
    for (int j = 0; j < k; ++j) {
        const double t = 2.0 * M_PI * j / k;
        const double r = 1.0 + wobble * std::sin(3.0 * t);
        c.push_back(rx * r * std::cos(t));
        c.push_back(ry * r * std::sin(t));
    }
    return c;
}

Config direction(int k, Normal& rng) {
    Config d(2 * static_cast<size_t>(k));
    for (double& v : d)
        v = rng.next();
    return d;
}

double centroid_size(const Config& c) {
    const size_t k = c.size() / 2;
    double cx = 0, cy = 0;
    for (size_t j = 0; j < k; ++j) {
        cx += c[2 * j];
        cy += c[2 * j + 1];
    }
    cx /= static_cast<double>(k);
    cy /= static_cast<double>(k);
    double s = 0;
    for (size_t j = 0; j < k; ++j)
        s += std::pow(c[2 * j] - cx, 2) + std::pow(c[2 * j + 1] - cy, 2);
    return std::sqrt(s);
}

// The shape base + f*dir + noise, then placed as a digitiser would: turned, scaled, moved.
Config specimen(const Config& base, const Config& dir, double f, double noise, Normal& rng) {
    Config c(base.size());
    for (size_t i = 0; i < c.size(); ++i)
        c[i] = base[i] + 0.04 * f * dir[i] + noise * rng.next();
    const double t = 0.3 * rng.next();
    const double s = 40.0 * (1.0 + 0.1 * rng.next());
    const double dx = 200.0 + 20.0 * rng.next(), dy = 150.0 + 20.0 * rng.next();
    Config out(c.size());
    for (size_t j = 0; j < c.size() / 2; ++j) {
        const double x = c[2 * j], y = c[2 * j + 1];
        out[2 * j] = s * (x * std::cos(t) - y * std::sin(t)) + dx;
        out[2 * j + 1] = s * (x * std::sin(t) + y * std::cos(t)) + dy;
    }
    return out;
}

void write_row(std::ofstream& out, const std::vector<double>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.4f", values[i]);
        out << (i ? " " : "") << buf;
    }
    out << '\n';
}

void write_group(const std::filesystem::path& dir, const std::string& name, int n,
                 std::uint64_t seed, double twist) {
    Normal rng(seed);
    const Config base1 = outline(8, 1.0, 0.6, 0.15);
    const Config base2 = outline(6, 0.7, 0.5, 0.1);
    Normal dirs(7);  // the same directions in both groups, bar the twist of block 2
    const Config d1 = direction(8, dirs);
    Config d2 = direction(6, dirs);
    const Config d2b = direction(6, dirs);
    for (size_t i = 0; i < d2.size(); ++i)
        d2[i] = std::cos(twist) * d2[i] + std::sin(twist) * d2b[i];

    std::ofstream b1(dir / (name + "_b1.txt")), b2(dir / (name + "_b2.txt")),
        vars(dir / (name + "_vars.txt"));
    for (int i = 0; i < n; ++i) {
        const double f = rng.next();
        Config c1 = specimen(base1, d1, f, 0.01, rng);
        Config c2 = specimen(base2, d2, f + 0.5 * rng.next(), 0.01, rng);
        const double cs1 = centroid_size(c1);
        c1.push_back(cs1);
        c2.push_back(centroid_size(c2));
        write_row(b1, c1);
        write_row(b2, c2);
        write_row(vars, {std::log(cs1), f + 0.3 * rng.next(), 10.0 + 2.0 * rng.next()});
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tesvane_make_examples OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    write_group(dir, "groupA", 30, 101, 0.0);
    write_group(dir, "groupB", 25, 202, 0.6);
    std::cout << "wrote groupA and groupB (_b1, _b2, _vars) to " << dir.string() << '\n';
    return 0;
}
