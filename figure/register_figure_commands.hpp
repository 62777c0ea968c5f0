// The figure commands in the table of callable functions, and the Figure menu's entries.
#pragma once

#include <vector>

#include "platform/app_context.hpp"

namespace tesvane {

// Registers setsymbolfill, incrementsymbolsize, incrementlinethickness, setlinethickness,
// setsymbolbw, CopyBigImage, CopyBigImageNA, CopyImageEPS, spiffyfish and boringcursor.
// A handle input is 1, the current axes. A menu entry calls its command without inputs: the
// handle is then the current axes, `isfilled` 1, the size increment 1, the line weight 0.5 and
// the line width 0.5.
void register_figure_commands(AppContext& ctx);

struct FigureMenuEntry {
    const char* label;
    const char* function;
};
// The Figure menu's entries for the commands, in menu order.
const std::vector<FigureMenuEntry>& figure_menu_entries();

}  // namespace tesvane
