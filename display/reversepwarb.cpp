#include "display/reversepwarb.hpp"

#include "display/UniArbitrary.hpp"
#include "display/reversepwb.hpp"

namespace tesvane {

Matrix reversepwarb(const Matrix& reference, const Matrix& pw) {
    const Matrix b = UniArbitrary(reference);
    return detail::displace_by_scores(reference, pw, b.row(0), b.row(1));
}

}  // namespace tesvane
