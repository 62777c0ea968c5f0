#include "platform/figure/colormap.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace tesvane::fig {

namespace {

// Eleven anchors of the viridis ramp, evenly spaced.
constexpr std::array<std::array<int, 3>, 11> kAnchors{{{68, 1, 84},
                                                       {72, 36, 117},
                                                       {65, 68, 135},
                                                       {53, 95, 141},
                                                       {42, 120, 142},
                                                       {33, 145, 140},
                                                       {34, 168, 132},
                                                       {68, 191, 112},
                                                       {122, 209, 81},
                                                       {189, 223, 38},
                                                       {253, 231, 37}}};

}  // namespace

Rgb colormap_at(double t) {
    if (!(t > 0))
        t = 0;  // also catches not-a-number
    t = std::min(t, 1.0);
    const double pos = t * (kAnchors.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(pos), kAnchors.size() - 2);
    const double f = pos - static_cast<double>(i);
    auto mix = [&](int c) { return ((1 - f) * kAnchors[i][c] + f * kAnchors[i + 1][c]) / 255.0; };
    return {mix(0), mix(1), mix(2)};
}

std::vector<Rgb> default_colormap(std::size_t n) {
    std::vector<Rgb> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(colormap_at(n == 1 ? 0.5 : static_cast<double>(i) / (n - 1)));
    }
    return out;
}

}  // namespace tesvane::fig
