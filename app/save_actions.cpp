#include "app/save_actions.hpp"

#include <climits>
#include <cmath>
#include <filesystem>

#include "io/atomic_file.hpp"
#include "io/number_parse.hpp"
#include "io/saved_vector.hpp"
#include "platform/cformat.hpp"
#include "platform/checked_int.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

using Kind = SaveAction::Kind;

void tell(AppContext& ctx, const std::string& msg) {
    ctx.ui.message_box(msg);
    ctx.ui.console(msg);
}

// The axis number typed into ShowBox.
std::optional<long> axis_number(AppContext& ctx) {
    const std::string text = ctx.ui.control("ShowBox").string();
    try {
        const std::vector<double> v = parse_numbers(text);
        if (!v.empty() && v[0] == std::floor(v[0])) {
            if (const std::optional<long long> n = to_integer(v[0], INT_MIN, INT_MAX))
                return static_cast<long>(*n);
            tell(ctx,
                 "The axis number \"" + text + "\" in the Axis box is too large to be an axis");
            return std::nullopt;
        }
    } catch (const Error&) {
    }
    tell(ctx, "The axis number \"" + text + "\" in the Axis box is not a whole number");
    return std::nullopt;
}

// The values to write, or nothing after telling the user why there are none.
std::optional<Matrix> values_to_save(AppContext& ctx, const SaveAction& a, const Matrix& m) {
    if (m.size() == 0) {
        // Loaded and analysed, block 2 may still have no form: its variables have none.
        const bool variables = a.kind == Kind::Reference && a.variable != "reference1" &&
                               !ctx.vars.empty("activem2") && ctx.vars.scalar("activem2") == 0;
        tell(ctx, "Nothing to save: " + a.variable +
                      (variables ? " is empty: block 2 holds variables, which have no reference "
                                   "form"
                                 : " is empty (load the data and run the analysis first)"));
        return std::nullopt;
    }
    if (a.kind == Kind::Reference)
        return m;
    const std::optional<long> axis = axis_number(ctx);
    if (!axis)
        return std::nullopt;
    const long c = static_cast<long>(m.cols());
    if (*axis < 1 || *axis > c) {
        tell(ctx,
             cformat("Axis %ld does not exist: %s has %ld axes", *axis, a.variable.c_str(), c));
        return std::nullopt;
    }
    // Principal axes are kept in ascending order of eigenvalue: axis 1 is the last column.
    const Index col = a.kind == Kind::PrincipalAxis ? c - *axis : *axis - 1;
    Matrix out(1, m.rows() + 1);
    out.leftCols(m.rows()) = m.col(col).transpose();
    out(0, m.rows()) = 1;
    return out;
}

}  // namespace

const std::vector<SaveAction>& save_actions() {
    static const std::vector<SaveAction> table = {
        {"SavePCB1G1", "File Name for PCA Axis, Block 1, Group 1", "Vm1c", Kind::PrincipalAxis,
         "PC Axis Block 1, Group 1 Tesvane"},
        {"SavePCB1G2", "File Name for PCA Axis, Block 1, Group 2", "Vm1g", Kind::PrincipalAxis,
         "PC Axis Block 1, Group 2 Tesvane"},
        {"SavePCB2G1", "File Name for PCA Axis, Block 2, Group 1", "Vm2c", Kind::PrincipalAxis,
         "PC Axis Block 2, Group 1 Tesvane"},
        {"SavePCB2G2", "File Name for PCA Axis, Block 2, Group 2", "Vm2g", Kind::PrincipalAxis,
         "PC Axis Block 2, Group 2 Tesvane"},
        {"SaveSVDB1G1", "File Name for SVD Axis, Block 1, Group 1", "ubee2", Kind::PlsAxis,
         "SVD Axis Block 1, Group 1 Tesvane"},
        {"SaveSVDB1G2", "File Name for SVD Axis, Block 1, Group 2", "ubee2g", Kind::PlsAxis,
         "SVD Axis Block 1, Group 2 Tesvane"},
        {"SaveSVDB2G1", "File Name for SVD Axis, Block 2, Group 1", "vbee2", Kind::PlsAxis,
         "SVD Axis Block 2, Group 1 Tesvane"},
        {"SaveSVDB2G2", "File Name for SVD Axis, Block 2, Group 2", "vbee2g", Kind::PlsAxis,
         "SVD Axis Block 2, Group 2 Tesvane"},
        {"SaveRef1", "File Name for Reference, Block 1", "reference1", Kind::Reference,
         "Reference form from Block 1 SVD-Tesvane"},
        {"SaveRef2", "File Name for Reference, Block 2, Group 1", "reference2", Kind::Reference,
         "Reference form from Block 2, Group 1 SVD-Tesvane"},
        {"SaveRef2g", "File Name for Reference, Block 2, Group 2", "reference2g", Kind::Reference,
         "Reference form from Block 2, Group 2 SVD-Tesvane"},
    };
    return table;
}

void run_save_action(AppContext& ctx, const SaveAction& a) {
    std::optional<Matrix> values;
    // Principal axes are checked before the dialog opens, the others after it, as the user
    // has always met them.
    if (a.kind == Kind::PrincipalAxis) {
        values = values_to_save(ctx, a, ctx.vars.matrix(a.variable));
        if (!values)
            return;
    }
    const std::optional<FileChoice> choice = ctx.ui.save_file_dialog(a.title, "*.*");
    if (!choice)
        return;
    std::error_code ec;
    std::filesystem::current_path(choice->folder, ec);
    if (!values) {
        values = values_to_save(ctx, a, ctx.vars.matrix(a.variable));
        if (!values)
            return;
    }
    try {
        write_file_atomically(choice->path(), saved_vector_text(*values, a.label));
    } catch (const Error& e) {
        tell(ctx, e.what());
    }
}

}  // namespace tesvane
