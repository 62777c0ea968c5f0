#include "platform/echo_matrix.hpp"

#include <algorithm>

#include "platform/cformat.hpp"

namespace tesvane {

void echo_matrix(Platform& ui, const std::string& name, const Matrix& m) {
    ui.console(cformat("%s (%i x %i):", name.c_str(), static_cast<int>(m.rows()),
                       static_cast<int>(m.cols())));
    const Index rows = std::min(m.rows(), kEchoedRows);
    const Index cols = std::min(m.cols(), kEchoedCols);
    for (Index i = 0; i < rows; ++i) {
        std::string line;
        for (Index j = 0; j < cols; ++j)
            line += cformat(j ? " %g" : "%g", m(i, j));
        if (cols < m.cols())
            line += " ...";
        ui.console(line);
    }
    if (rows < m.rows())
        ui.console(cformat("... (%i more rows)", static_cast<int>(m.rows() - rows)));
}

}  // namespace tesvane
