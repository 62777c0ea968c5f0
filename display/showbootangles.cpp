#include "display/showbootangles.hpp"

#include <algorithm>
#include <cmath>

#include "platform/cformat.hpp"

namespace tesvane {
namespace {

// A spread in (-1, 1) for the i-th point that never repeats (the golden-ratio sequence), so
// that a strip looks the same every time it is drawn.
double spread(std::size_t i) {
    const double golden = 0.6180339887498949;
    const double f = std::fmod(static_cast<double>(i + 1) * golden, 1.0);
    return 2 * f - 1;
}

void strip(fig::Axes& axes, const std::vector<double>& angles, double y, const char* style) {
    std::vector<double> ys(angles.size());
    for (std::size_t i = 0; i < angles.size(); ++i)
        ys[i] = y + 0.25 * spread(i);
    fig::Line& l = axes.plot(angles, ys, style, 0.5, 3);
    l.marker_face = fig::ColorSpec::automatic();
}

}  // namespace

double angle_bound(std::vector<double> angles, double alpha) {
    const auto n = static_cast<double>(angles.size());
    if (angles.empty() ||
        std::any_of(angles.begin(), angles.end(), [](double a) { return std::isnan(a); }))
        return NAN;
    std::sort(angles.begin(), angles.end());
    const double row = std::clamp(std::ceil(n * (1.0 - alpha)), 1.0, n);
    return angles[static_cast<std::size_t>(row) - 1];
}

void showbootangles(fig::Axes& axes, const BootAngles& b) {
    axes.cla();
    axes.set_hold(true);
    strip(axes, b.group1, 2, "bo");
    strip(axes, b.group2, 1, "rs");
    if (std::isfinite(b.bound1))
        axes.plot({b.bound1, b.bound1}, {1.6, 2.4}, "b--", 1.25);
    if (std::isfinite(b.bound2))
        axes.plot({b.bound2, b.bound2}, {0.6, 1.4}, "r--", 1.25);
    if (std::isfinite(b.observed))
        axes.plot({b.observed, b.observed}, {0.5, 2.5}, "k-", 1.25);

    double hi = 0;
    for (const auto* v : {&b.group1, &b.group2})
        for (double a : *v)
            hi = std::max(hi, a);
    for (double a : {b.bound1, b.bound2, b.observed})
        if (std::isfinite(a))
            hi = std::max(hi, a);
    const double top = std::min(90.0, std::max(5.0, std::ceil(hi * 1.1 / 5) * 5));
    axes.set_limits({0, top, 0.4, 2.6});
    axes.set_equal(false);
    axes.xlabel = "Angle between the axes of two resamples (degrees)";
    axes.yticks = {{1, 2}, {b.name2, b.name1}};
    const std::string a = cformat("%g", b.alpha);
    fig::LegendEntry g1 = fig::legend_entry(b.name1, "bo"), g2 = fig::legend_entry(b.name2, "rs");
    g1.filled = g2.filled = true;  // as the strips
    axes.legend = {g1, g2, fig::legend_entry("bound at alpha = " + a, "k--"),
                   fig::legend_entry("observed angle between the groups", "k-")};
}

}  // namespace tesvane
