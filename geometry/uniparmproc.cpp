#include "geometry/uniparmproc.hpp"

namespace tesvane {

Matrix uniparmproc(const Matrix& yref) {
    const Index c = yref.size();
    double alpha = 0.0;
    double gamma = 0.0;
    for (Index t = 0; t + 1 < c; t += 2) {
        alpha += yref(t) * yref(t);
    }
    for (Index t = 1; t + 1 < c; t += 2) {
        gamma += yref(t) * yref(t);
    }
    Matrix y(1, 2);
    y(0) = alpha;
    y(1) = gamma;
    return y;
}

}  // namespace tesvane
