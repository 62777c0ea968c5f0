#pragma once

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// For each line child of `handle`: black markers, edge and face.
void setsymbolbw(fig::Axes& handle);

}  // namespace tesvane
