#include "app/Tesvanesw.hpp"

#include <climits>
#include <cmath>

#include "analysis/BootSVD2Angle.hpp"
#include "analysis/DoSVD2.hpp"
#include "analysis/analysis_record.hpp"
#include "analysis/permutation_test_action.hpp"
#include "app/load_actions.hpp"
#include "app/report_export.hpp"
#include "app/save_actions.hpp"
#include "app/scores_csv.hpp"
#include "display/ShowAxis.hpp"
#include "io/number_parse.hpp"
#include "platform/checked_int.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

// The axis number in ShowBox: no axis number lies beyond the int range.
double show_box_number(AppContext& ctx) {
    const std::vector<double> v = parse_numbers(ctx.ui.control("ShowBox").string());
    if (v.empty())
        throw Error("The Axis box holds no number");
    checked_int(v[0], INT_MIN, INT_MAX, "The axis number (ShowBox)");
    return v[0];
}

void set_show_box(AppContext& ctx, double axis) {
    ctx.ui.control("ShowBox").set_string(
        std::to_string(checked_int(axis, INT_MIN, INT_MAX, "The axis number (ShowBox)")));
}

void axis_up(AppContext& ctx) {
    double axis = show_box_number(ctx);
    const Matrix& s = ctx.vars.matrix("sbee2");
    const double numsvd = static_cast<double>(std::min(s.rows(), s.cols()));
    if (axis < numsvd)
        axis += 1;
    set_show_box(ctx, axis);
}

void axis_down(AppContext& ctx) {
    double axis = show_box_number(ctx);
    if (axis > 1)
        axis -= 1;
    set_show_box(ctx, axis);
}

std::vector<std::pair<std::string, Action>> build_table() {
    std::vector<std::pair<std::string, Action>> t = {
        {"LoadG1B1", [](AppContext& c) { load_block1(c, 1); }},
        {"LoadG1B2", [](AppContext& c) { load_block2(c, 1); }},
        {"LoadG2B1", [](AppContext& c) { load_block1(c, 2); }},
        {"LoadG2B2", [](AppContext& c) { load_block2(c, 2); }},
        {"LoadTemplate", load_templates},
        {"DoSVD2", analysis_then_permutations},
        {"BootSVD2Angle", BootSVD2Angle},
        {"AxisUp", axis_up},
        {"AxisDown", axis_down},
        {"ShowAxis", ShowAxis},
    };
    for (const SaveAction& a : save_actions())
        t.emplace_back(a.action, [&a](AppContext& c) { run_save_action(c, a); });
    t.emplace_back("SaveScores", save_scores);
    t.emplace_back("ExportReport", export_report);
    t.emplace_back("Clear&reset", clear_and_reset);
    return t;
}

}  // namespace

const std::vector<std::pair<std::string, Action>>& action_table() {
    static const std::vector<std::pair<std::string, Action>> table = build_table();
    return table;
}

void Tesvanesw(AppContext& ctx, const std::string& action) {
    for (const auto& [name, run] : action_table()) {
        if (name == action) {
            run(ctx);
            return;
        }
    }
    ctx.ui.message_box("Fell through case!  Dang");
}

void clear_and_reset(AppContext& ctx) {
    ctx.vars.clear_for_reset();
    analysis_record(ctx) = AnalysisRecord{};
    for (const char* box : {"FileBox1", "FileBox2", "FileBox3", "FileBox4"})
        ctx.ui.control(box).set_string(" ");
    Control& homology = ctx.ui.control("HomologyButton");
    homology.set_enable("On");
    homology.set_value(1);
}

}  // namespace tesvane
