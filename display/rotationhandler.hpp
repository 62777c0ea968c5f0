// Turning a configuration step by step through an input dialog.
#pragma once

#include "platform/matrix.hpp"
#include "platform/platform.hpp"

namespace tesvane {

struct RotationResult {
    double theta = 0;  // the sum of the entered angles, radians
    Matrix reference;  // the configuration row turned by theta about the origin
};

inline constexpr const char* kRotationTitle =
    "Reference Rotation Selection, Positive is Counter-Clockwise";
inline constexpr const char* kRotationPrompt = "Enter Desired Rotation, or Zero to end rotation";

// Draws the configuration (style "m*", landmark numbers when NumberButton is ticked) into the
// figure's axes, then asks for an angle in degrees, offering defangle (10 when it is 0) and
// afterwards the last entry. Each non-zero entry turns the configuration further about the
// origin by R(a) = [cos a, -sin a; sin a, cos a] and redraws it, so the angles add up. The loop
// ends at an entry of 0, at a cancel, at an entry that is not a number, or when the dialog fails
// ("Sorry, Failure on input dialog Box"); the rotation reached so far stays.
RotationResult rotationhandler(Platform& ui, const Matrix& reference, double defangle);

// The landmark numbers 1 ... floor(c/2) written beside the landmarks of a configuration row
// when the NumberButton check box is ticked (nothing when there is no such box).
void number_landmarks(Platform& ui, const Matrix& form);

}  // namespace tesvane
