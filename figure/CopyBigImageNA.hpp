#pragma once

#include "platform/platform.hpp"

namespace tesvane {

// As CopyBigImage with automatic limits instead of widened ones. The window's Units are left
// "characters" afterwards.
void CopyBigImageNA(Platform& ui);

}  // namespace tesvane
