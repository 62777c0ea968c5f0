#include "display/showplsscores.hpp"

#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/report_number.hpp"

namespace tesvane {
namespace {

std::vector<double> column(const Matrix& m, Index c) {
    std::vector<double> v(static_cast<size_t>(m.rows()));
    for (Index i = 0; i < m.rows(); ++i)
        v[static_cast<size_t>(i)] = m(i, c);
    return v;
}

void check(const GroupScores& g, int axis, int group) {
    if (axis < 1 || axis > g.block1.cols() || axis > g.block2.cols())
        throw Error(cformat("Group %i has no scores on PLS axis %i (1 ... %i)", group, axis,
                            static_cast<int>(std::min(g.block1.cols(), g.block2.cols()))));
}

}  // namespace

void showplsscores(fig::Axes& axes, const GroupScores& g1, const GroupScores& g2, int axis) {
    check(g1, axis, 1);
    check(g2, axis, 2);
    const Index c = axis - 1;
    axes.cla();
    axes.set_hold(false);
    axes.plot(column(g1.block1, c), column(g1.block2, c), "bo");
    axes.set_hold(true);
    axes.plot(column(g2.block1, c), column(g2.block2, c), "r*");
    axes.set_auto_limits();
}

}  // namespace tesvane
