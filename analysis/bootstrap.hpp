// The bootstrap of the angles between the PLS axes of two resamples of one group, and of the
// first-axis correlations: the replicates, their thread pool, the order statistics and the
// report text. The action that reads the controls and the session is BootSVD2Angle.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/matrix.hpp"
#include "platform/random.hpp"

namespace tesvane {

// The blocks as the analysis left them; set 1 resamples group 1, set 2 group 2.
struct BootstrapInput {
    Matrix data1, data2, data1g, data2g;
    bool landmarks2 = true;  // block 2 holds landmarks (activem2)
    bool homology2 = true;   // pool the block-2 references of the two resamples
    int nboots = 0;
    Index bound_row = 0;  // 0-based row of a sorted angle column reported as its bound
};

using BootstrapSettings = ResamplingSettings;

// Sizes of a replicate's two resamples for a set whose group has `own` specimens when the other
// group has `other`: the first resample has `own` rows, the second the size of the smaller group.
struct ResampleSizes {
    Index own, first, second;
};
ResampleSizes resample_sizes(Index own, Index other);

// Every replicate draws from a stream of its own, so that the results do not depend on which
// thread runs it or in what order. The stream's seed is m(m(m(seed) + set) + replicate), with m
// the SplitMix64 finaliser, set 1 or 2 and replicate counted from 1.
std::uint64_t replicate_seed(std::uint64_t seed, int set, int replicate);

// The rows drawn for the two resamples (0-based): bl1 from the first `first` numbers of the
// stream, then bl2 from the next `second`; row = ceil(own * u) - 1 for a uniform u in (0, 1).
struct ResampleRows {
    std::vector<Index> bl1, bl2;
};
ResampleRows draw_rows(UniformStream& u, Index own, Index first, Index second);

// One replicate of one set: the block-1 and block-2 angles (degrees) between the axes of its
// two resamples, not-a-number on an axis that is null in either resample, and the correlation
// of the first resample's block scores on axis 1.
struct Replicate {
    RowVector angle1, angle2;
    double corr = 0;
};
Replicate run_replicate(const BootstrapInput& in, int set, int replicate, std::uint64_t seed);

// The k-th smallest (0-based) of `count` values given one by one, keeping only the values on
// the nearer side of k: at most min(k + 1, count - k) of them.
class OrderStatistic {
  public:
    OrderStatistic(Index count, Index k);
    void add(double v);
    double value() const;  // once every value is in

  private:
    Index keep_;
    bool low_;                  // keeps the keep_ smallest (else the keep_ largest)
    std::vector<double> heap_;  // its top is the answer
};

// What the report needs of one set's replicates, gathered as they arrive in replicate order, so
// that memory grows with the replicates run rather than being asked for up front: per block and
// axis the bound (the bound_row-th smallest angle, 0-based) or whether some replicate left the
// axis undefined; every first-axis correlation (their standard error and pairing across the
// sets need them all); and the first few replicates' first-axis angles for the console.
class ReplicateSummary {
  public:
    static constexpr std::size_t kEchoed = 20;

    ReplicateSummary(int nboots, Index bound_row) : nboots_(nboots), row_(bound_row) {}
    void add(const Replicate& r);

    Index axes() const { return axes_; }
    // Block 1 or 2, axis k (0-based): the bound, not-a-number when any replicate's was.
    double bound(int block, Index k) const;
    RowVector correlations() const;
    const std::vector<std::pair<double, double>>& first_angles() const { return first_; }
    // Every replicate's angles on the first kKeptAxes axes of block 1 or 2 (rows in replicate
    // order), for the bootstrap's picture: those few columns stay small however wide the data.
    static constexpr Index kKeptAxes = 10;
    Matrix kept_angles(int block) const;

  private:
    int nboots_;
    Index row_;
    Index axes_ = 0;
    std::vector<OrderStatistic> bound1_, bound2_;
    std::vector<bool> undefined1_, undefined2_;
    std::vector<double> corr_;
    std::vector<double> kept1_, kept2_;  // row after row
    std::vector<std::pair<double, double>> first_;
};

struct BootstrapTables {
    ReplicateSummary set1, set2;
};

// Called on the calling thread, which runs replicates too, between its replicates:
// replicate_done once per replicate in order (set 1 first), keep_going at most every 20 ms with
// the fraction done; when that returns false no further replicate starts and run_bootstrap
// returns nothing.
struct BootstrapMonitor {
    std::function<void(int set, int replicate)> replicate_done;
    std::function<bool(double fraction)> keep_going;
};

// Runs the 2 x nboots replicates on a pool of threads. A replicate that fails ends the run with
// an Error naming the set and replicate (the first in replicate order, whatever the threads).
std::optional<BootstrapTables> run_bootstrap(const BootstrapInput& in,
                                             const BootstrapSettings& settings,
                                             const BootstrapMonitor& monitor = {});

// The order statistics of nboots replicates at the alpha level asked for (1-based rows).
struct BootIndices {
    double alpha;       // raised to 1 / nboots when it was below that
    bool alpha_raised;  // ... and then the user is told
    double rangepoint;  // ceil(nboots (1 - alpha)): the row of a sorted table reported as bound
    Index low, high;    // the 95 percent range of a sorted vector of nboots values
};
BootIndices boot_indices(int nboots, double alpha);

// The 95 percent range (rows idx.low and idx.high of the sorted values) and the standard error
// (divisor nboots - 1) of a vector of replicate values.
struct BootRange {
    double low, high, se;
};
BootRange correlation_range(RowVector v, const BootIndices& idx);

// The report of the results window, from the replicates' summaries; an observed angle that is
// not-a-number (a null axis of the analysis) and a bound of a column with an undefined replicate
// angle read "not defined". Needs idx.rangepoint >= 1.
struct BootReportInput {
    int nboots = 0;
    BootIndices idx{};
    bool homology2 = false;
    RowVector obsangle1, obsangle2;  // obsangle2 only read with homology2
    double scor2 = 0, scor2g = 0;    // observed first-axis correlations
};
std::string bootstrap_report(const BootReportInput& in, const BootstrapTables& tables);

// The lines of the report that are also echoed: items 7 and 11.
std::string observed_correlation_line(int group, double r);

}  // namespace tesvane
