// The controls of the main window and the results window: their Tags, kinds, labels and
// initial values. Both platforms build their windows from this one table.
#pragma once

#include <string>
#include <vector>

namespace tesvane {

enum class ControlKind {
    Summary,  // multi-line text written by the program (the file boxes)
    Edit,     // one-line text field
    Check,    // check box: Value 1 or 0
    Popup,    // pop-up list: Value is the 1-based entry
    Report,   // the results window's multi-line, read-only, selectable text
};

struct ControlSpec {
    std::string tag;
    ControlKind kind;
    std::string label;
    std::string initial_string;        // Edit, Summary, Report
    double initial_value = 0;          // Check, Popup
    std::vector<std::string> entries;  // Popup
    std::string window = "main";       // "main" or "results"
    // One sentence for the user: what the control does, its unit and its range.
    std::string tooltip = "";
};

// Every control, main window first, in the order a newcomer meets them.
const std::vector<ControlSpec>& control_table();

// The readable names of the 24 plot types and of the deformation plot types 1 ... 9.
const std::vector<std::string>& plot_type_names();
const std::vector<std::string>& deformation_type_names();
// Both lists numbered, one type a line, for the command line's help and the Help menu.
std::string plot_types_text();

// A button of the main window: the action string it sends and its label.
struct ActionButton {
    std::string action;
    std::string label;
    std::string group;         // the step of the analysis it belongs to
    std::string tooltip = "";  // one sentence: what the button does
};
const std::vector<ActionButton>& action_buttons();

}  // namespace tesvane
