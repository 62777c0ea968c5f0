#include "analysis/random_angle.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "platform/scalar.hpp"

namespace tesvane {
namespace {

// The continued fraction of I_x(a, b) by the modified Lentz method; converges quickly for
// x < (a + 1) / (a + b + 2).
double beta_fraction(double a, double b, double x) {
    constexpr double tiny = 1e-300;
    constexpr double eps = 1e-16;
    const double qab = a + b, qap = a + 1.0, qam = a - 1.0;
    double c = 1.0;
    double d = 1.0 - qab * x / qap;
    if (std::abs(d) < tiny)
        d = tiny;
    d = 1.0 / d;
    double h = d;
    for (int m = 1; m <= 10000; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1.0 + aa * d;
        d = std::abs(d) < tiny ? tiny : d;
        c = 1.0 + aa / c;
        c = std::abs(c) < tiny ? tiny : c;
        d = 1.0 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1.0 + aa * d;
        d = std::abs(d) < tiny ? tiny : d;
        c = 1.0 + aa / c;
        c = std::abs(c) < tiny ? tiny : c;
        d = 1.0 / d;
        const double del = d * c;
        h *= del;
        if (std::abs(del - 1.0) < eps)
            break;
    }
    return h;
}

}  // namespace

double incomplete_beta(double a, double b, double x, double y) {
    assert(a > 0 && b > 0);
    if (!(x > 0))
        return 0.0;
    if (!(y > 0))
        return 1.0;
    // x^a y^b / (a B(a, b)), in logarithms so that large a and b do not overflow.
    const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                  a * std::log(x) + b * std::log(y));
    if (x < (a + 1.0) / (a + b + 2.0))
        return front * beta_fraction(a, b, x) / a;
    return 1.0 - front * beta_fraction(b, a, y) / b;
}

double random_angle_probability(double theta_degrees, Index q) {
    if (q < 2)
        return 1.0;
    const double theta = std::clamp(theta_degrees, 0.0, 90.0) / kDegreesPerRadian;
    const double s = std::sin(theta), c = std::cos(theta);
    return std::clamp(incomplete_beta(0.5 * static_cast<double>(q - 1), 0.5, s * s, c * c), 0.0,
                      1.0);
}

}  // namespace tesvane
