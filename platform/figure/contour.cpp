#include "platform/figure/contour.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>

#include "platform/error.hpp"
#include "platform/figure/colormap.hpp"

namespace tesvane::fig {

namespace {

using PointId = std::uint64_t;

// Band polygons are built from symbolic points (a node, or the crossing of one level on one
// grid edge) so that the two cells beside an edge produce identical points and their shared
// boundary cancels exactly when the cells are joined.
class Grid {
  public:
    Grid(const Matrix& X, const Matrix& Y, const Matrix& Z, const std::vector<double>& levels)
        : X_(X), Y_(Y), Z_(Z), levels_(levels), rows_(Z.rows()), cols_(Z.cols()) {}

    Index rows() const { return rows_; }
    Index cols() const { return cols_; }
    double z(Index node) const { return Z_(node / cols_, node % cols_); }
    bool finite_node(Index node) const {
        const Index r = node / cols_, c = node % cols_;
        return std::isfinite(Z_(r, c)) && std::isfinite(X_(r, c)) && std::isfinite(Y_(r, c));
    }
    Index node(Index r, Index c) const { return r * cols_ + c; }

    // Grid edges: horizontal ones (r, c)-(r, c+1) first, then vertical ones (r, c)-(r+1, c).
    Index horizontal_edge(Index r, Index c) const { return r * (cols_ - 1) + c; }
    Index vertical_edge(Index r, Index c) const { return rows_ * (cols_ - 1) + r * cols_ + c; }

    PointId node_point(Index node) const { return static_cast<PointId>(node); }
    PointId crossing_point(Index edge, std::size_t level) const {
        return static_cast<PointId>(rows_ * cols_) + static_cast<PointId>(edge) * levels_.size() +
               level;
    }

    std::array<double, 2> coordinates(PointId id) const {
        const auto nodes = static_cast<PointId>(rows_ * cols_);
        if (id < nodes) {
            const auto n = static_cast<Index>(id);
            return {X_(n / cols_, n % cols_), Y_(n / cols_, n % cols_)};
        }
        const auto edge = static_cast<Index>((id - nodes) / levels_.size());
        const double level = levels_[(id - nodes) % levels_.size()];
        Index a, b;  // the edge's nodes, lower index first, whichever cell asks
        const Index horizontal = rows_ * (cols_ - 1);
        if (edge < horizontal) {
            a = (edge / (cols_ - 1)) * cols_ + edge % (cols_ - 1);
            b = a + 1;
        } else {
            a = edge - horizontal;
            b = a + cols_;
        }
        const double za = z(a), zb = z(b);
        const double t = (level - za) / (zb - za);
        const Index ra = a / cols_, ca = a % cols_, rb = b / cols_, cb = b % cols_;
        return {X_(ra, ca) + t * (X_(rb, cb) - X_(ra, ca)),
                Y_(ra, ca) + t * (Y_(rb, cb) - Y_(ra, ca))};
    }

  private:
    const Matrix& X_;
    const Matrix& Y_;
    const Matrix& Z_;
    const std::vector<double>& levels_;
    Index rows_, cols_;
};

// Which side of a level a value lies on. The lowest level of the lowest band counts its own
// value as inside, so a field whose minimum sits on that level is filled there too.
struct Level {
    double value;
    std::size_t index;
    bool inclusive;
    bool above(double z) const { return inclusive ? z >= value : z > value; }
};

// One point on the boundary of a cell, walked counter-clockwise in node order.
struct BoundaryPoint {
    PointId id;
    int level;        // -1 a corner, 0 the band's lower level, 1 its upper level
    int state_after;  // 0 below the band, 1 in it, 2 above it, along the boundary after here
    int edge;         // cell edge 0..3 the point lies on (a corner: the edge it starts)
};

using Edges = std::map<std::pair<PointId, PointId>, int>;

// Adds a directed edge, or cancels it against the same edge walked the other way by the
// neighbouring cell.
void add_edge(Edges& edges, PointId a, PointId b) {
    auto reverse = edges.find({b, a});
    if (reverse != edges.end()) {
        if (--reverse->second == 0)
            edges.erase(reverse);
        return;
    }
    ++edges[{a, b}];
}

// The band's part of one cell, as closed rings of boundary points, their edges added to `edges`.
void cell_band(const Grid& g, Index r, Index c, const Level& lo, const Level& hi, Edges& edges) {
    const Index corner[4] = {g.node(r, c), g.node(r, c + 1), g.node(r + 1, c + 1),
                             g.node(r + 1, c)};
    const Index edge_id[4] = {g.horizontal_edge(r, c), g.vertical_edge(r, c + 1),
                              g.horizontal_edge(r + 1, c), g.vertical_edge(r, c)};
    double z[4];
    int cls[4];
    for (int i = 0; i < 4; ++i) {
        z[i] = g.z(corner[i]);
        cls[i] = !lo.above(z[i]) ? 0 : (hi.above(z[i]) ? 2 : 1);
    }
    if (cls[0] == cls[1] && cls[1] == cls[2] && cls[2] == cls[3]) {
        if (cls[0] == 1) {
            for (int i = 0; i < 4; ++i)
                add_edge(edges, g.node_point(corner[i]), g.node_point(corner[(i + 1) % 4]));
        }
        return;
    }

    std::vector<BoundaryPoint> cycle;
    cycle.reserve(12);
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        int state = cls[i];
        cycle.push_back({g.node_point(corner[i]), -1, state, i});
        // Values are linear along the edge, so a rising edge meets the lower level first.
        const Level* order[2] = {&lo, &hi};
        if (z[j] < z[i])
            std::swap(order[0], order[1]);
        for (const Level* l : order) {
            if (l->above(z[i]) == l->above(z[j]))
                continue;
            const int which = l == &lo ? 0 : 1;
            state = which == 0 ? (state == 0 ? 1 : 0) : (state == 2 ? 1 : 2);
            cycle.push_back({g.crossing_point(edge_id[i], l->index), which, state, i});
        }
    }

    // Chords of each level across the cell: two crossings pair up; four make a saddle, decided
    // by the mean of the corners.
    const int n = static_cast<int>(cycle.size());
    std::vector<int> partner(n, -1);
    for (int which = 0; which < 2; ++which) {
        const Level& l = which == 0 ? lo : hi;
        std::vector<int> at;
        for (int k = 0; k < n; ++k) {
            if (cycle[k].level == which)
                at.push_back(k);
        }
        if (at.size() == 2) {
            partner[at[0]] = at[1];
            partner[at[1]] = at[0];
        } else if (at.size() == 4) {
            const double centre = (z[0] + z[1] + z[2] + z[3]) / 4;
            // The corners on the centre's side are joined through the middle of the cell, so the
            // chords cut off the other two.
            const bool cut_corners_1_3 = l.above(centre) == l.above(z[0]);
            const int s = cut_corners_1_3 ? 0 : 1;
            for (int k = 0; k < 4; k += 2) {
                const int a = at[(k + s) % 4], b = at[(k + s + 1) % 4];
                partner[a] = b;
                partner[b] = a;
            }
        }
    }

    std::vector<bool> done(n, false);
    for (int start = 0; start < n; ++start) {
        if (cycle[start].level < 0 || cycle[start].state_after != 1 || done[start])
            continue;
        int cur = start;
        // Each round walks the boundary from an entry to the next exit, then the chord to the
        // next entry; the guard only stops a walk that could not close.
        for (int guard = 0; guard <= n; ++guard) {
            done[cur] = true;
            int i = cur;
            int next = (i + 1) % n;
            while (!(cycle[next].level >= 0 && cycle[next].state_after != 1)) {
                add_edge(edges, cycle[i].id, cycle[next].id);
                i = next;
                next = (i + 1) % n;
            }
            add_edge(edges, cycle[i].id, cycle[next].id);
            const int entry = partner[next];
            if (entry < 0)
                break;
            add_edge(edges, cycle[next].id, cycle[entry].id);
            if (entry == start)
                break;
            cur = entry;
        }
    }
}

// Chains the edges left after cancellation into closed rings of coordinates.
std::vector<std::vector<std::array<double, 2>>> rings_of(const Grid& g, const Edges& edges) {
    std::map<PointId, std::vector<PointId>> out;
    for (const auto& [e, count] : edges) {
        for (int k = 0; k < count; ++k)
            out[e.first].push_back(e.second);
    }
    std::vector<std::vector<std::array<double, 2>>> rings;
    for (auto& [first, targets] : out) {
        while (!targets.empty()) {
            std::vector<std::array<double, 2>> ring;
            PointId at = first;
            do {
                const auto p = g.coordinates(at);
                if (ring.empty() || ring.back() != p)
                    ring.push_back(p);
                auto& next = out[at];
                if (next.empty())
                    break;  // every point has as many edges in as out, so this does not happen
                const PointId to = next.back();
                next.pop_back();
                at = to;
            } while (at != first);
            while (ring.size() > 1 && ring.front() == ring.back())
                ring.pop_back();
            if (ring.size() >= 3)
                rings.push_back(std::move(ring));
        }
    }
    return rings;
}

void check_grid(const Matrix& X, const Matrix& Y, const Matrix& Z) {
    if (X.rows() != Z.rows() || X.cols() != Z.cols() || Y.rows() != Z.rows() ||
        Y.cols() != Z.cols()) {
        throw Error("contourf: X, Y and Z must have the same size (Z is " +
                    std::to_string(Z.rows()) + " x " + std::to_string(Z.cols()) + ")");
    }
    if (Z.rows() < 2 || Z.cols() < 2)
        throw Error("contourf: Z must have at least 2 rows and 2 columns");
}

void check_levels(const std::vector<double>& levels) {
    if (levels.size() < 2)
        throw Error("contourf: at least two levels are needed");
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (!std::isfinite(levels[i]))
            throw Error("contourf: the levels must be finite numbers");
        if (i > 0 && !(levels[i] > levels[i - 1]))
            throw Error("contourf: the levels must be strictly ascending");
    }
}

}  // namespace

std::vector<double> contour_levels(double zmin, double zmax) {
    if (!std::isfinite(zmin) || !std::isfinite(zmax) || zmin > zmax)
        throw Error("contourf: the value range must be finite and ascending");
    if (zmin == zmax) {
        const double half = std::max(1.0, 0.01 * std::abs(zmin));
        return {zmin - half, zmin + half};
    }
    const double range = zmax - zmin;
    const double base = std::floor(std::log10(range / 9));
    double best_step = 0;
    long best_lo = 0, best_n = 0;
    for (double e = base - 1; e <= base + 1; ++e) {
        for (double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * std::pow(10.0, e);
            // The tolerance keeps a value on a level (up to rounding) from gaining a band; the
            // checks after it keep every value inside the outer levels.
            auto lo = static_cast<long>(std::floor(zmin / step + 1e-9));
            auto hi = static_cast<long>(std::ceil(zmax / step - 1e-9));
            if (lo * step > zmin)
                --lo;
            if (hi * step < zmax)
                ++hi;
            const long n = std::max(1L, hi - lo);
            const long off = std::abs(n - 9), best_off = std::abs(best_n - 9);
            if (best_n == 0 || off < best_off || (off == best_off && step > best_step)) {
                best_step = step;
                best_lo = lo;
                best_n = n;
            }
        }
    }
    std::vector<double> levels;
    for (long i = 0; i <= best_n; ++i)
        levels.push_back(static_cast<double>(best_lo + i) * best_step);
    return levels;
}

std::vector<ContourBand> isobands(const Matrix& X, const Matrix& Y, const Matrix& Z,
                                  const std::vector<double>& levels) {
    check_grid(X, Y, Z);
    check_levels(levels);
    const Grid g(X, Y, Z, levels);
    std::vector<bool> usable((g.rows() - 1) * (g.cols() - 1));
    for (Index r = 0; r + 1 < g.rows(); ++r) {
        for (Index c = 0; c + 1 < g.cols(); ++c) {
            usable[r * (g.cols() - 1) + c] =
                g.finite_node(g.node(r, c)) && g.finite_node(g.node(r, c + 1)) &&
                g.finite_node(g.node(r + 1, c)) && g.finite_node(g.node(r + 1, c + 1));
        }
    }
    std::vector<ContourBand> bands;
    for (std::size_t k = 0; k + 1 < levels.size(); ++k) {
        const Level lo{levels[k], k, k == 0};
        const Level hi{levels[k + 1], k + 1, false};
        Edges edges;
        for (Index r = 0; r + 1 < g.rows(); ++r) {
            for (Index c = 0; c + 1 < g.cols(); ++c) {
                if (usable[r * (g.cols() - 1) + c])
                    cell_band(g, r, c, lo, hi, edges);
            }
        }
        ContourBand band;
        band.lower = levels[k];
        band.upper = levels[k + 1];
        band.rings = rings_of(g, edges);
        bands.push_back(std::move(band));
    }
    return bands;
}

FilledContour& contourf(Axes& axes, const Matrix& X, const Matrix& Y, const Matrix& Z) {
    double lo = INFINITY, hi = -INFINITY;
    for (Index i = 0; i < Z.size(); ++i) {
        if (std::isfinite(Z(i))) {
            lo = std::min(lo, Z(i));
            hi = std::max(hi, Z(i));
        }
    }
    check_grid(X, Y, Z);
    if (!(lo <= hi))
        throw Error("contourf: Z has no finite values");
    return contourf(axes, X, Y, Z, contour_levels(lo, hi));
}

FilledContour& contourf(Axes& axes, const Matrix& X, const Matrix& Y, const Matrix& Z,
                        const std::vector<double>& levels) {
    auto plot = std::make_unique<FilledContour>(0);
    plot->bands = isobands(X, Y, Z, levels);
    const std::vector<Rgb> colours = default_colormap(plot->bands.size());
    for (std::size_t i = 0; i < plot->bands.size(); ++i)
        plot->bands[i].color = colours[i];
    plot->X = X;
    plot->Y = Y;
    plot->Z = Z;
    plot->levels = levels;
    plot->show_colorbar = true;
    return axes.add(std::move(plot));
}

}  // namespace tesvane::fig
