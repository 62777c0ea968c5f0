// The reference forms the two groups' blocks are superimposed on.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

struct BlockReferences {
    Matrix reference1;               // block 1: both groups pooled, one reference for both
    Matrix reference2, reference2g;  // block 2: pooled (and equal) with homology2, else per group
};

// The consensus references (getconsensus) of block 1 and block 2 of both groups. Block 1 is
// always pooled so that both groups' scores share one basis; block 2 is pooled only when
// homology2 says its landmarks are the same in both groups. A block given as two empty matrices
// (a variable block 2, or a block not asked for) gets empty references. Block 2 is formed
// first, so that its errors come before block 1's.
BlockReferences block_references(const Matrix& data1, const Matrix& data1g, const Matrix& data2,
                                 const Matrix& data2g, bool homology2);

}  // namespace tesvane
