#include "io/saved_vector.hpp"

#include "platform/cformat.hpp"

namespace tesvane {

std::string saved_vector_text(const Matrix& values, const std::string& label) {
    std::string out;
    // Row order: walk the rows of the matrix, not Eigen's column-major storage.
    for (Index i = 0; i < values.rows(); ++i)
        for (Index j = 0; j < values.cols(); ++j)
            out += cformat("%g ", values(i, j));
    out += " % " + label + " \n ";
    return out;
}

}  // namespace tesvane
