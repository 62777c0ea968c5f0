// Permutation tests of the two-block PLS of each group: the rows of block 2 are shuffled against
// block 1, which keeps each block's own covariance and breaks only their association.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/bootstrap.hpp"
#include "platform/matrix.hpp"
#include "platform/random.hpp"

namespace tesvane {

// One group's blocks as its cross-covariance is formed: X = block1^T block2 / divisor, both
// blocks centred (shape scores without cs; a variable block as it was read), the divisor 1 for
// a landmark block 2 and n for a variable one.
struct PermutationBlocks {
    Matrix block1, block2;
    double divisor = 1;
    // Bounds the products of the blocks' values before centring, as for block_pls: singular
    // values not above the round-off this implies are null, the first one included.
    double scale = 0;
};

struct PermutationInput {
    PermutationBlocks group1, group2;
    int permutations = 0;
};

// What is tested, for one arrangement of the rows of block 2:
// - sval: the min(q1, q2) singular values of X, descending;
// - r: the Pearson correlation of the block scores on axis 1 (r-PLS);
// - rv: the RV coefficient
// \f[ RV = \frac{\mathrm{tr}(S_{12} S_{21})}{\sqrt{\mathrm{tr}(S_{11}^2)\,\mathrm{tr}(S_{22}^2)}},
//     \quad S_{ij} = \mathrm{block}_i^T \mathrm{block}_j. \f]
struct PlsStatistics {
    RowVector sval;
    double r = 0, rv = 0;
};

// The statistics of the blocks as they are (rows paired as given).
PlsStatistics observed_statistics(const PermutationBlocks& b);

// Every permutation draws from a stream of its own, so that the results do not depend on the
// threads: its seed is m(m(m(m(seed) + 0x7065726d) + group) + permutation), with m the SplitMix64
// finaliser (as for the bootstrap's replicates, with a tag of its own), group 1 or 2 and
// permutation counted from 1.
std::uint64_t permutation_seed(std::uint64_t seed, int group, int permutation);

// A uniformly random order of 0 ... n-1 (Fisher-Yates, from the last position down, position i
// swapped with floor((i + 1) u)).
std::vector<Index> random_order(UniformStream& u, Index n);

// One group's observed statistics and its N permutations in permutation order: sval N x axes,
// r and rv 1 x N. A singular value counts as zero when it is not above max(q1, q2) * eps * the
// largest one; the report gives no test for such a null axis.
//
// `stepwise` (N x axes) holds what each permutation gives for the stepwise test of the axes:
// column 1 is the first singular value; column k > 1 the largest singular value of the permuted
// cross-product after the first k - 1 observed axes are removed from both blocks,
// \f[ \sigma_{\max}\big((I - U_{k-1} U_{k-1}^T)\, X_\pi\, (I - V_{k-1} V_{k-1}^T)\big), \f]
// with U, V the observed singular vectors. For the observed blocks that value is s_k itself, so
// axis k is tested against the null that only the earlier axes carry association (zero beyond
// the defined axes).
struct GroupPermutations {
    PlsStatistics observed;
    Index defined_axes = 0;  // leading axes whose observed singular value is not numerically 0
    Index specimens = 0;
    double divisor = 1;  // of the cross-product, as in PermutationBlocks
    Matrix sval, stepwise;
    RowVector r, rv;
};
struct PermutationTables {
    GroupPermutations group1, group2;
};

// Runs the 2 x N permutations on a pool of threads, group 1 first; the monitor is called as the
// bootstrap's is (replicate_done with the group and the permutation). A cancel returns nothing.
std::optional<PermutationTables> run_permutations(const PermutationInput& in,
                                                  const BootstrapSettings& settings,
                                                  const BootstrapMonitor& monitor = {});

// The p-value of an observed statistic, the observed arrangement counted as one of the
// permutations: (1 + #{permuted >= observed}) / (N + 1). A permuted value equal to the observed
// one up to rounding (a relative 1e-12) counts as not smaller. Not-a-number for a not-a-number
// observation.
double permutation_p(double observed, const RowVector& permuted);

}  // namespace tesvane
