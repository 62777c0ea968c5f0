// The eleven Save actions: one axis or reference form of the analysis to a small text file.
#pragma once

#include <string>
#include <vector>

#include "platform/app_context.hpp"

namespace tesvane {

struct SaveAction {
    std::string action;    // e.g. "SavePCB1G1"
    std::string title;     // the save dialog's title
    std::string variable;  // the session variable written
    enum class Kind { PrincipalAxis, PlsAxis, Reference } kind;
    std::string label;  // the comment after "%"
};

const std::vector<SaveAction>& save_actions();

// Runs one Save action. Nothing is written unless the whole vector can be: a missing analysis or
// an axis outside the matrix is a message, and an existing file is replaced only by a complete
// new one.
void run_save_action(AppContext& ctx, const SaveAction& a);

}  // namespace tesvane
