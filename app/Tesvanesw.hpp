// The action dispatcher: one action string in, one action run to its end.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/app_context.hpp"

namespace tesvane {

using Action = std::function<void(AppContext&)>;

// The action strings in the order they are compared, each with what it runs.
const std::vector<std::pair<std::string, Action>>& action_table();

// Runs the first action whose string equals `action` exactly (case-sensitive); an unknown
// string shows "Fell through case!  Dang" and changes nothing. Errors of the action propagate
// to the caller (the callback wrapper writes them to the console).
void Tesvanesw(AppContext& ctx, const std::string& action);

// Forgets the loaded data and analysis results and resets the data controls.
void clear_and_reset(AppContext& ctx);

}  // namespace tesvane
