#include "analysis/block_references.hpp"

#include "analysis/two_block_pls.hpp"
#include "geometry/getconsensus.hpp"

namespace tesvane {
namespace {

bool absent(const Matrix& a, const Matrix& b) {
    return a.size() == 0 && b.size() == 0;
}

}  // namespace

BlockReferences block_references(const Matrix& data1, const Matrix& data1g, const Matrix& data2,
                                 const Matrix& data2g, bool homology2) {
    BlockReferences r;
    if (!absent(data2, data2g)) {
        if (homology2) {
            r.reference2 = getconsensus(stack_rows(data2, data2g, "Block 2")).reference;
            r.reference2g = r.reference2;
        } else {
            r.reference2 = getconsensus(data2).reference;
            r.reference2g = getconsensus(data2g).reference;
        }
    }
    if (!absent(data1, data1g))
        r.reference1 = getconsensus(stack_rows(data1, data1g, "Block 1")).reference;
    return r;
}

}  // namespace tesvane
