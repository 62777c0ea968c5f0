#pragma once

#include "platform/platform.hpp"

namespace tesvane {

// Writes the current window, axes enlarged, limits automatic and equally scaled, as colour
// Encapsulated PostScript to a file the user names in a save dialog (no extension is added);
// the chosen folder becomes the current directory. A cancelled dialog writes nothing. The axes'
// Units and Position are put back either way; the window's Units stay "characters" and the
// limits automatic and equal. A failed export leaves the axes enlarged.
void CopyImageEPS(Platform& ui);

}  // namespace tesvane
