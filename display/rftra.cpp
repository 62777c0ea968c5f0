#include "display/rftra.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tesvane {

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    if (n == 0)
        return std::nan("");
    return n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace

ResistantFit rftra(const Matrix& data, const Matrix& target) {
    const Index c = data.size();
    const Index k = (c - 1) / 2;
    auto dx = [&](const Matrix& f, Index i, Index j) { return f(2 * i) - f(2 * j); };
    auto dy = [&](const Matrix& f, Index i, Index j) { return f(2 * i + 1) - f(2 * j + 1); };

    std::vector<double> scale_i, angle_i;
    for (Index i = 0; i < k; ++i) {
        std::vector<double> ratios, angles;
        for (Index j = 0; j < k; ++j) {
            if (j == i)
                continue;
            const double d2 = dx(data, i, j) * dx(data, i, j) + dy(data, i, j) * dy(data, i, j);
            const double t2 =
                dx(target, i, j) * dx(target, i, j) + dy(target, i, j) * dy(target, i, j);
            ratios.push_back(std::pow(d2 / t2, -0.5));
            angles.push_back(std::atan2(dy(data, i, j), dx(data, i, j)) -
                             std::atan2(dy(target, i, j), dx(target, i, j)));
        }
        scale_i.push_back(median(ratios));
        angle_i.push_back(median(angles));
    }
    const double scale = median(scale_i);
    const double rotangle = median(angle_i);
    const double t3 = scale * std::cos(rotangle);
    const double t4 = -scale * std::sin(rotangle);
    std::vector<double> sx, sy;
    for (Index i = 0; i < k; ++i) {
        const double x = data(2 * i), y = data(2 * i + 1);
        sx.push_back(target(2 * i) - t3 * x + t4 * y);
        sy.push_back(target(2 * i + 1) - t4 * x - t3 * y);
    }
    const double t1 = median(sx);
    const double t2 = median(sy);

    ResistantFit fit{data.reshaped(1, c), Matrix(1, 4)};
    for (Index i = 0; i < k; ++i) {
        const double x = data(2 * i), y = data(2 * i + 1);
        fit.fitted(2 * i) = t3 * x - t4 * y + t1;
        fit.fitted(2 * i + 1) = t4 * x + t3 * y + t2;
    }
    fit.params << t1, t2, t3, t4;
    return fit;
}

}  // namespace tesvane
