// Resistant fit of one configuration onto another by repeated medians.
#pragma once

#include "platform/matrix.hpp"

namespace tesvane {

struct ResistantFit {
    Matrix fitted;  // data moved onto target, configuration row; last value from data
    Matrix params;  // 1 x 4: T1, T2 (shift), T3 = s cos(r), T4 = -s sin(r)
};

// Fits the configuration row `data` onto `target` (same length) by a similarity transform whose
// scale s and rotation r are repeated medians: for each landmark i, the median over j != i of
// |T_i - T_j| / |D_i - D_j| and of angle(D_i - D_j) - angle(T_i - T_j); then the median over i.
// The shift is the median over the landmarks of what remains. Each landmark (x, y) of data goes
// to (T3 x - T4 y + T1, T4 x + T3 y + T2). Medians of an even count average the middle two.
ResistantFit rftra(const Matrix& data, const Matrix& target);

}  // namespace tesvane
