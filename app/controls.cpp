#include "app/controls.hpp"

namespace tesvane {

const std::vector<std::string>& plot_type_names() {
    static const std::vector<std::string> names = {
        "PLS axis, block 1, both groups",
        "PLS axis, block 2, both groups",
        "PLS axis, block 1, group 1",
        "PLS axis, block 1, group 2",
        "PLS axis, block 2, group 1",
        "PLS axis, block 2, group 2",
        "Superimposed block 1, both groups",
        "Superimposed block 2, both groups",
        "PC, block 1, group 1",
        "PC, block 2, group 1",
        "PC, block 1, group 2",
        "PC, block 2, group 2",
        "PLS vs PC, block 1, group 1",
        "PLS vs PC, block 2, group 1",
        "PLS vs PC, block 1, group 2",
        "PLS vs PC, block 2, group 2",
        "PLS vs reversed PC, block 1, group 1",
        "PLS vs reversed PC, block 2, group 1",
        "PLS vs reversed PC, block 1, group 2",
        "PLS vs reversed PC, block 2, group 2",
        "PC, block 1, both groups",
        "PC, block 2, both groups",
        "PC, block 1, both groups (group 2 reversed)",
        "PC, block 2, both groups (group 2 reversed)",
        "PLS scores, both groups",
    };
    return names;
}

const std::vector<std::string>& deformation_type_names() {
    static const std::vector<std::string> names = {
        "Deformed grid",
        "Arrow field",
        "Landmark vectors",
        "Grid and vectors",
        "Vectors over current picture",
        "Arrow field, x only",
        "Arrow field, y only",
        "Contours of |x| displacement",
        "Contours of |y| displacement",
    };
    return names;
}

namespace {

ControlSpec summary(const char* tag, const char* label) {
    return {tag, ControlKind::Summary, label, " ", 0, {}, "main"};
}
ControlSpec edit(const char* tag, const char* label, const char* initial) {
    return {tag, ControlKind::Edit, label, initial, 0, {}, "main"};
}
ControlSpec check(const char* tag, const char* label, double initial) {
    return {tag, ControlKind::Check, label, "", initial, {}, "main"};
}
ControlSpec popup(const char* tag, const char* label, const std::vector<std::string>& entries) {
    return {tag, ControlKind::Popup, label, "", 1, entries, "main"};
}

}  // namespace

const std::vector<ControlSpec>& control_table() {
    static const std::vector<ControlSpec> table = {
        summary("FileBox1", "Group 1, block 1"),
        summary("FileBox2", "Group 1, block 2"),
        summary("FileBox3", "Group 2, block 1"),
        summary("FileBox4", "Group 2, block 2"),
        check("Morph2", "Block 2 holds landmarks", 1),
        check("HomologyButton", "Block 2 landmarks homologous in both groups", 1),
        check("TpsMissingButton", "TPS: negative coordinates are missing", 0),
        check("TpsCurvesButton", "TPS: curve points as landmarks", 0),
        edit("BootBox", "Bootstrap samples", "100"),
        edit("AlphaBox", "Alpha", "0.05"),
        check("PermuteButton", "Permutation tests with the analysis", 0),
        edit("PermBox", "Permutations per group", "999"),
        edit("ShowBox", "Axis", "1"),
        popup("ReqAxisBox", "Plot", plot_type_names()),
        popup("DeFormat", "Deformation", deformation_type_names()),
        edit("ExagerationBox", "Exaggeration", "1"),
        edit("RangeBox", "Range factor", "1"),
        edit("BaseBox1", "Base landmark 1", "1"),
        edit("BaseBox2", "Base landmark 2", "2"),
        edit("RefAngleBox", "Rotation (degrees)", "auto"),
        check("TemplateButton", "Draw on template", 0),
        check("RotateRequest", "Rotate template interactively", 0),
        check("NumberButton", "Number landmarks", 0),
        check("GridButton", "Trim grid", 0),
        {"AuxResults", ControlKind::Report, "Results", "", 0, {}, "results"},
    };
    return table;
}

const std::vector<ActionButton>& action_buttons() {
    static const std::vector<ActionButton> buttons = {
        {"LoadG1B1", "Load group 1, block 1", "load"},
        {"LoadG1B2", "Load group 1, block 2", "load"},
        {"LoadG2B1", "Load group 2, block 1", "load"},
        {"LoadG2B2", "Load group 2, block 2", "load"},
        {"LoadTemplate", "Load templates", "load"},
        {"Clear&reset", "Clear and reset", "load"},
        {"DoSVD2", "Analyse (two-block PLS)", "analyse"},
        {"BootSVD2Angle", "Bootstrap angles", "bootstrap"},
        {"AxisDown", "Axis down", "show"},
        {"AxisUp", "Axis up", "show"},
        {"ShowAxis", "Show", "show"},
        {"SavePCB1G1", "PC axis, block 1, group 1", "save"},
        {"SavePCB1G2", "PC axis, block 1, group 2", "save"},
        {"SavePCB2G1", "PC axis, block 2, group 1", "save"},
        {"SavePCB2G2", "PC axis, block 2, group 2", "save"},
        {"SaveSVDB1G1", "PLS axis, block 1, group 1", "save"},
        {"SaveSVDB1G2", "PLS axis, block 1, group 2", "save"},
        {"SaveSVDB2G1", "PLS axis, block 2, group 1", "save"},
        {"SaveSVDB2G2", "PLS axis, block 2, group 2", "save"},
        {"SaveRef1", "Reference, block 1", "save"},
        {"SaveRef2", "Reference, block 2, group 1", "save"},
        {"SaveRef2g", "Reference, block 2, group 2", "save"},
        {"SaveScores", "PLS scores (all axes, both blocks)", "save"},
    };
    return buttons;
}

}  // namespace tesvane
