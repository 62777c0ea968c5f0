#include "analysis/DoSVD2.hpp"

#include <algorithm>

#include "analysis/two_group_pls.hpp"
#include "io/landmark_file_common.hpp"
#include "platform/cformat.hpp"
#include "platform/echo_matrix.hpp"
#include "platform/group_names.hpp"
#include "platform/plain_words.hpp"
#include "platform/session_variables.hpp"

namespace tesvane {
namespace {

// Both blocks of a group pair their rows by position: when both files named their specimens,
// the names must agree row by row.
bool ids_match(AppContext& ctx) {
    for (const int group : {1, 2}) {
        const GroupVariables& n = group_variables(group);
        if (ctx.vars.empty(n.ids1) || ctx.vars.empty(n.ids2))
            continue;
        const std::vector<std::string> a = split_ids(ctx.vars.text(n.ids1));
        const std::vector<std::string> b = split_ids(ctx.vars.text(n.ids2));
        if (const std::optional<std::size_t> i = first_id_mismatch(a, b)) {
            const std::string msg =
                cformat("Group %i: specimen %i is \"%s\" in block 1 but \"%s\" in block 2", group,
                        static_cast<int>(*i + 1), a[*i].c_str(), b[*i].c_str());
            ctx.ui.message_box(msg);
            ctx.ui.console(msg);
            return false;
        }
    }
    return true;
}

// The block-2 step of the analysis reads HomologyButton only for a landmark block 2; with
// variables the value an earlier action stored is used.
TwoGroupInput read_input(AppContext& ctx) {
    Session& v = ctx.vars;
    TwoGroupInput in;
    in.landmarks2 = v.flag("activem2");
    if (in.landmarks2) {
        Control& button = ctx.ui.control("HomologyButton");
        const double homology = button.value();
        v.set("homology2", homology);
        ctx.ui.console(cformat("homology2 = %g", homology));
        v.set("referencetype2", 0.0);
        button.set_enable("Off");
    }
    in.homology2 = v.flag("homology2");
    in.data1 = v.require("data1");
    in.data1g = v.require("data1g");
    in.data2 = v.require("data2");
    in.data2g = v.require("data2g");
    return in;
}

void store_blocks(Session& v, const TwoGroupResult& r, bool landmarks2) {
    v.set("referencetype1", 0.0);
    v.set("reference1", r.references.reference1);
    v.set("data1", r.data1);
    v.set("data1g", r.data1g);
    v.set("pw1", r.pw1);
    v.set("pw1g", r.pw1g);
    if (landmarks2) {
        v.set("reference2", r.references.reference2);
        v.set("reference2g", r.references.reference2g);
        v.set("data2", r.data2);
        v.set("data2g", r.data2g);
        v.set("pw2", r.pw2);
        v.set("pw2g", r.pw2g);
    }
}

// The echo shows the decomposition as computed, before group 2's signs were aligned.
void store_group(AppContext& ctx, int group, const GroupPls& g, bool negated) {
    const GroupVariables& n = group_variables(group);
    const BlockPls& r = g.pls;
    const double sign = negated ? -1.0 : 1.0;
    echo_matrix(ctx.ui, n.ubee2, sign * r.U);
    echo_matrix(ctx.ui, n.sbee2, r.S);
    echo_matrix(ctx.ui, n.vbee2, sign * r.V);
    ctx.ui.console(
        cformat("m = %i, n = %i", static_cast<int>(r.S.rows()), static_cast<int>(r.S.cols())));
    Session& v = ctx.vars;
    v.set(n.ubee2, r.U);
    v.set(n.sbee2, r.S);
    v.set(n.vbee2, r.V);
    v.set(n.swc1, r.swc1);
    v.set(n.swc2, r.swc2);
    v.set(n.vm1, g.vm1);
    v.set(n.vm2, g.vm2);
    v.set(n.sval2, Matrix(r.sval));
    v.set(n.scor2, Matrix(r.scor));
}

void size_message(AppContext& ctx, bool landmarks2, const SizeMismatch& m) {
    // Which group's blocks disagree, in the user's terms, beside the box.
    ctx.ui.message(
        cformat("%s's block 2 has %i specimens but its block 1 has %i: both blocks "
                "of a group need the same specimens in the same order",
                sentence_start(group_name(ctx, m.group)).c_str(), static_cast<int>(m.m2),
                static_cast<int>(m.m1)));
    if (landmarks2) {
        ctx.ui.message_box("The samples sizes do not match, shape and shape");
        ctx.ui.console(
            cformat("[m1 m2] = [%i %i]", static_cast<int>(m.m1), static_cast<int>(m.m2)));
    } else {
        ctx.ui.message_box("The samples sizes do not match, shape and variable");
    }
}

}  // namespace

std::string angle_report(const Matrix& ubee2, const Matrix& sbee2, const Matrix& vbee2,
                         const Matrix& ubee2g, const Matrix& sbee2g, const Matrix& vbee2g,
                         bool homology2) {
    const Index numsvd = std::min({sbee2.rows(), sbee2.cols(), sbee2g.rows(), sbee2g.cols()});
    // The header keeps its trailing blank and line break, so an empty line follows it.
    std::string s = "Angles between SVD axis of the two blocks \n";
    for (Index i = 0; i < numsvd; ++i) {
        const int axis = static_cast<int>(i + 1);
        if (is_null_axis(sbee2, i) || is_null_axis(sbee2g, i)) {
            s += homology2 ? cformat(
                                 "\nSVD %i Block 1= not defined (null axis)  Block2= not "
                                 "defined (null axis)",
                                 axis)
                           : cformat("\nSVD %i Block 1= not defined (null axis)", axis);
            continue;
        }
        const double a1 = axis_angle(ubee2, ubee2g, i);
        if (homology2) {
            const double a2 = axis_angle(vbee2g, vbee2, i);
            s += cformat("\nSVD %i Block 1= %2.3f  Block2= %2.3f", axis, a1, a2);
        } else {
            s += cformat("\nSVD %i Block 1= %2.3f", axis, a1);
        }
    }
    return s;
}

void DoSVD2(AppContext& ctx) {
    if (!ids_match(ctx))
        return;
    const TwoGroupInput in = read_input(ctx);
    // Everything is computed before anything is stored, so that missing or unusable blocks
    // leave the earlier results in place.
    const TwoGroupResult r = two_group_pls(in);

    if (r.pw1.size() > 0)
        store_blocks(ctx.vars, r, in.landmarks2);
    if (r.group1)
        store_group(ctx, 1, *r.group1, false);
    if (r.group2)
        store_group(ctx, 2, *r.group2, r.group2_negated);
    if (r.mismatch) {
        size_message(ctx, in.landmarks2, *r.mismatch);
        return;
    }

    ctx.ui.control("ShowBox").set_string("1");
    const BlockPls& g1 = r.group1->pls;
    const BlockPls& g2 = r.group2->pls;
    show_report(ctx, angle_report(g1.U, g1.S, g1.V, g2.U, g2.S, g2.V, in.homology2));
}

}  // namespace tesvane
