// Window and axes positions in the units the export commands switch between.
//
// A pixel is drawn as one point (1/72 inch), as the renderer does on a plain screen. A
// character cell is 6 points wide and 12 high: an average character of the 10-point sans face
// of tick labels, and the size the renderer gives to positions in "characters".
#pragma once

#include <string>

#include "platform/figure/figure_model.hpp"

namespace tesvane {

inline constexpr double kCharacterWidth = 6;    // points
inline constexpr double kCharacterHeight = 12;  // points

// `p` given in units `from`, expressed in units `to`: "pixels", "points", "characters",
// "inches" or "centimeters". Error for other units (a "normalized" window has no size of its
// own here).
fig::Position convert_position(const fig::Position& p, const std::string& from,
                               const std::string& to);

// Sets the window's Units, converting its Position so that the window keeps its size.
void set_figure_units(fig::Figure& f, const std::string& units);

// What enlarging the axes changed, for putting it back.
struct SavedAxes {
    fig::Position position;
    std::string units;
};

// The enlargement the export commands make: the window's Units become "characters" and the
// axes get Position (12, 3, width - 5, height - 4) in characters, the window being width x
// height characters. The plot box thus runs 7 characters past the window's right edge.
SavedAxes enlarge_axes(fig::Figure& f);
// Gives the axes their remembered Position and Units again.
void restore_axes(fig::Figure& f, const SavedAxes& saved);

}  // namespace tesvane
