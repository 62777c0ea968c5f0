// Calibration of the permutation tests on simulated data with a known truth: prints, as a
// Markdown table, how often each test rejects at alpha = 0.05 with its Monte-Carlo error.
// Usage: tesvane_calibration [datasets per setting (500)] [permutations (499)] [seed (1)]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/calibration_sim.hpp"

using namespace tesvane;
using namespace tesvane::calibration;

namespace {

void row(const Setting& s, const char* truth, const char* test, int rejections, int trials) {
    const double rate = static_cast<double>(rejections) / trials;
    const double se = standard_error(0.05, trials);
    std::printf("| %s | %s | %s | %d / %d | %.3f | %.3f | %s |\n", s.name.c_str(), truth, test,
                rejections, trials, rate, standard_error(rate, trials),
                rate <= 0.05 + 2 * se ? "yes" : "no");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int datasets = argc > 1 ? std::atoi(argv[1]) : 500;
    const int permutations = argc > 2 ? std::atoi(argv[2]) : 499;
    const std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    std::printf(
        "%d data sets of two groups per setting, %d permutations, seed %llu, alpha 0.05\n"
        "(within: rate <= 0.05 + 2 Monte-Carlo errors of a 0.05 rate)\n\n",
        datasets, permutations, static_cast<unsigned long long>(seed));
    std::printf("| setting | truth | test | rejections | rate | MC error | within |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    const std::vector<Setting> associated = {
        {"n = 20, q = 10 and 6, strength 1", 20, 10, 6, 1, 1.0},
        {"n = 72, q = 4 and 4, strength 1", 72, 4, 4, 1, 1.0},
        {"n = 20, q = 10 and 6, strength 2", 20, 10, 6, 1, 2.0},
        {"n = 72, q = 4 and 4, strength 2", 72, 4, 4, 1, 2.0},
        {"n = 20, q = 10 and 6, strength 1, sd 0.7^(j-1)", 20, 10, 6, 1, 1.0, 0.7},
        {"n = 72, q = 4 and 4, strength 1, sd 0.5^(j-1)", 72, 4, 4, 1, 1.0, 0.5},
    };
    for (size_t i = 0; i < associated.size(); ++i) {
        const Setting& s = associated[i];
        const Rejections r = simulate(s, datasets, permutations, seed + 100 * i);
        const char* equal = "equal integration, one dimension";
        row(s, equal, "z12, Box-Cox effect sizes (published)", r.z12, r.datasets);
        row(s, equal, "z12, atanh and sqrt 2 (former)", r.z12_fisher_sqrt2, r.datasets);
        row(s, equal, "axis 2, stepwise", r.axis2_stepwise, r.group_trials);
        row(s, equal, "axis 2, complete null (former)", r.axis2_complete_null, r.group_trials);
    }
    const std::vector<Setting> unrelated = {
        {"n = 20, q = 10 and 6", 20, 10, 6, 0, 0.0},
        {"n = 72, q = 4 and 4", 72, 4, 4, 0, 0.0},
        {"n = 20, q = 10 and 6, sd 0.7^(j-1)", 20, 10, 6, 0, 0.0, 0.7},
    };
    for (size_t i = 0; i < unrelated.size(); ++i) {
        const Setting& s = unrelated[i];
        const Rejections r = simulate(s, datasets, permutations, seed + 1000 + 100 * i);
        row(s, "no association", "r-PLS", r.r_pls, r.group_trials);
        row(s, "no association", "axis 1", r.axis1, r.group_trials);
        row(s, "no association", "RV", r.rv, r.group_trials);
        row(s, "no association", "z12, Box-Cox effect sizes (published)", r.z12, r.datasets);
    }
    return 0;
}
