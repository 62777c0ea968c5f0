#include "analysis/box_cox.hpp"

#include <boost/math/tools/minima.hpp>
#include <cmath>
#include <limits>

namespace tesvane {
namespace {

constexpr double kSeriesLimit = 0.001;

double transformed(double log_y, double lambda) {
    if (std::abs(lambda) <= kSeriesLimit) {
        const double l = lambda * log_y;
        return log_y * (1 + l / 2 * (1 + l / 3 * (1 + l / 4)));
    }
    return std::expm1(lambda * log_y) / lambda;
}

double sum_of_squares(const RowVector& log_y, double lambda) {
    RowVector t(log_y.size());
    for (Index i = 0; i < log_y.size(); ++i)
        t(i) = transformed(log_y(i), lambda);
    return (t.array() - t.mean()).square().sum();
}

}  // namespace

double box_cox_transform(double x, double lambda) {
    return lambda == 0 ? std::log(x) : std::expm1(lambda * std::log(x)) / lambda;
}

double box_cox_log_likelihood(const RowVector& y, double lambda) {
    const RowVector log_y = y.array().log().matrix();
    return -0.5 * static_cast<double>(y.size()) * std::log(sum_of_squares(log_y, lambda));
}

double box_cox_lambda(const RowVector& x) {
    if (x.size() < 2 || x.maxCoeff() == x.minCoeff())
        return 1.0;
    RowVector log_y = x.array().log().matrix();
    log_y.array() -= log_y.mean();  // divided by the geometric mean
    // The constant N / 2 does not move the maximum; minimise log of the sum of squares.
    auto f = [&](double lambda) { return std::log(sum_of_squares(log_y, lambda)); };
    std::uintmax_t iterations = 200;
    const double lambda = boost::math::tools::brent_find_minima(
                              f, -5.0, 5.0, std::numeric_limits<double>::digits / 2, iterations)
                              .first;
    return std::abs(lambda) < kSeriesLimit ? 0.0 : lambda;
}

}  // namespace tesvane
