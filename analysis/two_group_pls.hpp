// The main analysis as numbers in, numbers out: both groups' blocks superimposed on shared
// references, scored, and related by a two-block PLS per group.
#pragma once

#include <optional>

#include "analysis/block_references.hpp"
#include "analysis/two_block_pls.hpp"
#include "platform/matrix.hpp"

namespace tesvane {

// The four blocks as loaded: landmark blocks of configuration rows (2k+1 columns, centroid size
// last); block 2 holds n x p variables when landmarks2 is off.
struct TwoGroupInput {
    Matrix data1, data1g, data2, data2g;
    bool landmarks2 = true;
    bool homology2 = true;  // pool the block-2 references of the two groups
};

// One group's decomposition and the principal axes of its two blocks (unit eigenvectors of the
// score covariance as columns, eigenvalues ascending).
struct GroupPls {
    BlockPls pls;
    Matrix vm1, vm2;
};

// A group whose block 1 and block 2 differ in specimen count (1 or 2), with the two counts.
struct SizeMismatch {
    int group = 0;
    Index m1 = 0, m2 = 0;
};

struct TwoGroupResult {
    // Rounded to four decimals; the block-2 ones only for landmarks.
    BlockReferences references;
    // The blocks superimposed on the references (block 2 only for landmarks) and their shape
    // scores, last column cs.
    Matrix data1, data1g, data2, data2g;
    Matrix pw1, pw1g, pw2, pw2g;
    // The groups up to the first size mismatch; group 2 with its signs aligned to group 1.
    // When the mismatch keeps block 2 from being pooled, nothing above is computed.
    std::optional<GroupPls> group1, group2;
    std::optional<SizeMismatch> mismatch;
    bool group2_negated = false;  // group 2's axes and scores were turned to group 1's
};

// References, superimposition, scores and each group's PLS: block 1 uncentred against a centred
// variable block with the specimen count as divisor, both blocks centred for landmarks; group
// 2's block scores from its uncentred scores (only their correlations are used). When both
// groups' first axis pairs point away from each other, group 2's axes and scores are negated.
// Throws Error when the blocks cannot be pooled or the groups' block 2 differ in size.
TwoGroupResult two_group_pls(const TwoGroupInput& in);

// A reference row rounded to four decimals, half away from zero.
Matrix round4(const Matrix& reference);

}  // namespace tesvane
