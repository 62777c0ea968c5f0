#pragma once

#include "platform/platform.hpp"

namespace tesvane {

// Copies the current window to the clipboard with the axes enlarged and their limits widened by
// 3 % on every side, equally scaled; then the window's Units, the axes' Units and Position are
// put back and the limits made automatic and equally scaled. A failed copy leaves the window
// as it was at the copy.
void CopyBigImage(Platform& ui);

}  // namespace tesvane
