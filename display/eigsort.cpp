#include "display/eigsort.hpp"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tesvane {

SortedEigen eigsort(const Matrix& V, const Matrix& D) {
    const Index n = D.cols();
    const double big = D.maxCoeff();
    std::vector<double> key(static_cast<size_t>(n));
    for (Index i = 0; i < n; ++i)
        key[static_cast<size_t>(i)] = big - D(i, i);
    std::vector<Index> index(static_cast<size_t>(n));
    std::iota(index.begin(), index.end(), Index{0});
    std::stable_sort(index.begin(), index.end(), [&key](Index a, Index b) {
        return key[static_cast<size_t>(a)] < key[static_cast<size_t>(b)];
    });
    SortedEigen out{Matrix(V.rows(), n), Matrix::Zero(n, n)};
    for (Index i = 0; i < n; ++i) {
        const Index from = index[static_cast<size_t>(i)];
        out.VR.col(i) = V.col(from);
        out.DR(i, i) = D(from, from);
    }
    return out;
}

}  // namespace tesvane
