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
        "Bootstrap angles, block 1",
        "Bootstrap angles, block 2",
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

std::string plot_types_text() {
    std::string s = "Plot types (--show, the Plot list):\n";
    const auto& plots = plot_type_names();
    for (size_t i = 0; i < plots.size(); ++i)
        s += (i + 1 < 10 ? "   " : "  ") + std::to_string(i + 1) + "  " + plots[i] + "\n";
    s += "Deformation types (--deformat, the Deformation list):\n";
    const auto& defs = deformation_type_names();
    for (size_t i = 0; i < defs.size(); ++i)
        s += "   " + std::to_string(i + 1) + "  " + defs[i] + "\n";
    return s;
}

namespace {

ControlSpec summary(const char* tag, const char* label, const char* tip = "") {
    return {tag, ControlKind::Summary, label, " ", 0, {}, "main", tip};
}
ControlSpec edit(const char* tag, const char* label, const char* initial, const char* tip = "") {
    return {tag, ControlKind::Edit, label, initial, 0, {}, "main", tip};
}
ControlSpec check(const char* tag, const char* label, double initial, const char* tip = "") {
    return {tag, ControlKind::Check, label, "", initial, {}, "main", tip};
}
ControlSpec popup(const char* tag, const char* label, const std::vector<std::string>& entries,
                  const char* tip = "") {
    return {tag, ControlKind::Popup, label, "", 1, entries, "main", tip};
}

}  // namespace

const std::vector<ControlSpec>& control_table() {
    static const std::vector<ControlSpec> table = {
        summary("FileBox1", "Group 1, block 1",
                "What was loaded as block 1 of group 1: file, specimens and landmarks; drop a "
                "data file here to load it."),
        summary("FileBox2", "Group 1, block 2",
                "What was loaded as block 2 of group 1: file, specimens and landmarks or "
                "variables; drop a data file here to load it."),
        summary("FileBox3", "Group 2, block 1",
                "What was loaded as block 1 of group 2: file, specimens and landmarks; drop a "
                "data file here to load it."),
        summary("FileBox4", "Group 2, block 2",
                "What was loaded as block 2 of group 2: file, specimens and landmarks or "
                "variables; drop a data file here to load it."),
        check("Morph2", "Block 2 holds landmarks", 1,
              "Ticked, the next block 2 loaded is read as landmarks; unticked, as a table of "
              "variables."),
        check("HomologyButton", "Block 2 landmarks homologous in both groups", 1,
              "Ticked, block 2's landmarks are the same points in both groups, so they share "
              "one reference form."),
        edit("GroupName1", "Group 1 name", "",
             "The name figures, reports and exports give group 1; blank takes it from the "
             "block-1 file's name."),
        edit("GroupName2", "Group 2 name", "",
             "The name figures, reports and exports give group 2; blank takes it from the "
             "block-1 file's name."),
        check("TpsMissingButton", "TPS: negative coordinates are missing", 0,
              "Ticked, a negative x or y in the next TPS file loaded marks a missing landmark "
              "(such a file is refused, naming the specimen)."),
        check("TpsCurvesButton", "TPS: curve points as landmarks", 0,
              "Ticked, the curve points of each specimen in the next TPS file loaded are "
              "appended to its landmarks; unticked, they are left out."),
        edit("BootBox", "Bootstrap samples", "100",
             "Number of bootstrap replicates per group, a whole number of 1 or more "
             "(100 is quick, 1000 or more for publication)."),
        edit("AlphaBox", "Alpha", "0.05",
             "Significance level of the bootstrap's angle bounds, a number between 0 and 1 "
             "(0.05 gives the 95% bound)."),
        check("PermuteButton", "Permutation tests with the analysis", 0,
              "Ticked, Analyse also runs permutation tests of r-PLS, the singular values and "
              "the RV coefficient in each group."),
        edit("PermBox", "Permutations per group", "999",
             "Number of permutations per group for the permutation tests, a whole number of "
             "1 or more."),
        edit("ShowBox", "Axis", "1",
             "Number of the axis to show or save, from 1 to the number of PLS axes of the "
             "analysis."),
        popup("ReqAxisBox", "Plot", plot_type_names(),
              "Which picture Show draws: an axis of a block and group as a deformation, or the "
              "PLS scores (Help > Plot and deformation types lists all 27)."),
        popup("DeFormat", "Deformation", deformation_type_names(),
              "How a landmark axis is drawn: grid, arrows, vectors or contours (Help > Plot "
              "and deformation types lists all 9)."),
        edit("ExagerationBox", "Exaggeration", "1",
             "Factor the axis is multiplied by before it is drawn, any number (negative "
             "reverses the axis); 1 draws it at unit length."),
        popup("ScaleBox", "Scale",
              {"Exaggeration × unit axis", "Exaggeration × SD of the scores",
               "Largest observed score"},
              "Where the drawn target lies along the axis: the exaggeration times the unit "
              "axis, times the SD of the specimens' scores, or at the largest observed score."),
        edit("RangeBox", "Range factor", "1",
             "Factor that widens the plotted area around the forms, a positive number; 1 "
             "keeps it as computed."),
        edit("BaseBox1", "Base landmark 1", "1",
             "Number of the first landmark of a baseline, from 1 to the number of landmarks; "
             "Show checks it but draws on the Procrustes reference, which needs no baseline."),
        edit("BaseBox2", "Base landmark 2", "2",
             "Number of the second landmark of a baseline, from 1 to the number of landmarks; "
             "Show checks it but draws on the Procrustes reference, which needs no baseline."),
        edit("RefAngleBox", "Rotation (degrees)", "auto",
             "Angle in degrees by which the displays turn the forms counter-clockwise; auto "
             "takes it from refanglefile.txt in the start folder, or 0."),
        check("TemplateButton", "Draw on template", 0,
              "Ticked, Show draws the deformation of block 1 on the loaded template outline."),
        check("RotateRequest", "Rotate template interactively", 0,
              "Ticked, Show asks you to turn the template with mouse clicks in the plot before "
              "it is drawn."),
        check("OutlineButton", "Undeformed outline in grey", 0,
              "Ticked, a picture on the template also draws the undeformed outline in grey."),
        check("NumberButton", "Number landmarks", 0,
              "Ticked, the pictures write each landmark's number beside it."),
        check("GridButton", "Trim grid", 0,
              "Ticked, a deformed grid (with or without vectors) is then trimmed by clicks in "
              "the plot: each click moves a red corner one node towards it, a right click ends "
              "each of the four steps."),
        {"AuxResults",
         ControlKind::Report,
         "Results",
         "",
         0,
         {},
         "results",
         "The last report of Analyse or Bootstrap; Save appends it to a text file."},
    };
    return table;
}

const std::vector<ActionButton>& action_buttons() {
    static const std::vector<ActionButton> buttons = {
        {"LoadG1B1", "Load group 1, block 1", "load",
         "Reads block 1 (landmarks) of group 1 from a data file and superimposes it."},
        {"LoadG1B2", "Load group 1, block 2", "load",
         "Reads block 2 of group 1 from a data file, as landmarks or variables as ticked above."},
        {"LoadG2B1", "Load group 2, block 1", "load",
         "Reads block 1 (landmarks) of group 2 from a data file and superimposes it."},
        {"LoadG2B2", "Load group 2, block 2", "load",
         "Reads block 2 of group 2 from a data file, as landmarks or variables as ticked above."},
        {"LoadTemplate", "Load templates", "load",
         "Reads the template outlines and correspondence lists of both groups (six files)."},
        {"Clear&reset", "Clear and reset", "load",
         "Forgets the loaded blocks and the analysis, after asking, and clears the plot and "
         "the results."},
        {"DoSVD2", "Analyse (two-block PLS)", "analyse",
         "Needs all four blocks; the angles between the groups' axes go to the results "
         "window."},
        {"BootSVD2Angle", "Bootstrap angles", "bootstrap",
         "Bootstraps the angles and correlations of the analysis; the report replaces the "
         "results."},
        {"AxisDown", "Axis down", "show", "Shows the previous axis (down to 1)."},
        {"AxisUp", "Axis up", "show", "Shows the next axis (up to the number of PLS axes)."},
        {"ShowAxis", "Show", "show", "Draws the chosen plot type for the axis numbered in Axis."},
        {"SavePCB1G1", "PC axis, block 1, group 1", "save",
         "Writes principal component Axis of block 1, group 1 to a text file."},
        {"SavePCB1G2", "PC axis, block 1, group 2", "save",
         "Writes principal component Axis of block 1, group 2 to a text file."},
        {"SavePCB2G1", "PC axis, block 2, group 1", "save",
         "Writes principal component Axis of block 2, group 1 to a text file."},
        {"SavePCB2G2", "PC axis, block 2, group 2", "save",
         "Writes principal component Axis of block 2, group 2 to a text file."},
        {"SaveSVDB1G1", "PLS axis, block 1, group 1", "save",
         "Writes PLS axis Axis of block 1, group 1 to a text file."},
        {"SaveSVDB1G2", "PLS axis, block 1, group 2", "save",
         "Writes PLS axis Axis of block 1, group 2 to a text file."},
        {"SaveSVDB2G1", "PLS axis, block 2, group 1", "save",
         "Writes PLS axis Axis of block 2, group 1 to a text file."},
        {"SaveSVDB2G2", "PLS axis, block 2, group 2", "save",
         "Writes PLS axis Axis of block 2, group 2 to a text file."},
        {"SaveRef1", "Reference, block 1", "save",
         "Writes the reference form of block 1 (shared by both groups) to a text file."},
        {"SaveRef2", "Reference, block 2, group 1", "save",
         "Writes the reference form of block 2, group 1 to a text file."},
        {"SaveRef2g", "Reference, block 2, group 2", "save",
         "Writes the reference form of block 2, group 2 to a text file."},
        {"SaveScores", "PLS scores (all axes, both blocks)", "save",
         "Writes every specimen's block-1 and block-2 scores on every PLS axis of both groups to "
         "one CSV file."},
    };
    return buttons;
}

}  // namespace tesvane
