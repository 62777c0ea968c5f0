// The actions that bring data into the session: the four blocks and the templates.
#pragma once

#include <string>

#include "platform/app_context.hpp"

namespace tesvane {

// Block 1 of a group (1 or 2): LoadG1B1, LoadG2B1.
void load_block1(AppContext& ctx, int group);
// Block 2 of a group, landmarks or variables by Morph2: LoadG1B2, LoadG2B2.
void load_block2(AppContext& ctx, int group);
// The six template and correspondence-list dialogs: LoadTemplate.
void load_templates(AppContext& ctx);

// The summary texts of the file boxes.
std::string block1_summary(const std::string& file, const Matrix& data);
std::string block2_landmark_summary(const std::string& file, const Matrix& data);
std::string block2_variable_summary(const std::string& file, const Matrix& data);

}  // namespace tesvane
