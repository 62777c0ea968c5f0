#include "analysis/DoSVD2.hpp"

#include <algorithm>

#include "analysis/two_block_pls.hpp"
#include "app/AuxBox.hpp"
#include "app/plain_words.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "io/landmark_file_common.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/linalg.hpp"
#include "platform/scalar.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

void echo_matrix(Platform& ui, const char* name, const Matrix& m) {
    ui.console(
        cformat("%s (%i x %i):", name, static_cast<int>(m.rows()), static_cast<int>(m.cols())));
    for (Index i = 0; i < m.rows(); ++i) {
        std::string line;
        for (Index j = 0; j < m.cols(); ++j)
            line += cformat(j ? " %g" : "%g", m(i, j));
        ui.console(line);
    }
}

Matrix principal_axes(const Matrix& block) {
    return eig_sym(covariance(block)).vectors;
}

// The results of one group under their session names (group 2 with the trailing g).
void store_group(AppContext& ctx, bool g1, const BlockPls& r, const Matrix& vm1,
                 const Matrix& vm2) {
    Session& v = ctx.vars;
    const std::string g = g1 ? "" : "g";
    echo_matrix(ctx.ui, ("ubee2" + g).c_str(), r.U);
    echo_matrix(ctx.ui, ("sbee2" + g).c_str(), r.S);
    echo_matrix(ctx.ui, ("vbee2" + g).c_str(), r.V);
    v.set("ubee2" + g, r.U);
    v.set("sbee2" + g, r.S);
    v.set("vbee2" + g, r.V);
    v.set(g1 ? "swc1" : "swc1g", r.swc1);
    v.set(g1 ? "swc2" : "swc2g", r.swc2);
    v.set(g1 ? "Vm1c" : "Vm1g", vm1);
    v.set(g1 ? "Vm2c" : "Vm2g", vm2);
    ctx.ui.console(
        cformat("m = %i, n = %i", static_cast<int>(r.S.rows()), static_cast<int>(r.S.cols())));
    v.set("sval2" + g, Matrix(r.sval));
    v.set("scor2" + g, Matrix(r.scor));
}

// Says which group's blocks disagree, in the user's terms, beside the box.
void tell_sizes(AppContext& ctx, int group, Index m1, Index m2) {
    ctx.ui.message(
        cformat("%s's block 2 has %i specimens but its block 1 has %i: both blocks "
                "of a group need the same specimens in the same order",
                sentence_start(group_name(ctx, group)).c_str(), static_cast<int>(m2),
                static_cast<int>(m1)));
}

bool sizes_match(AppContext& ctx, int group, bool landmarks2, Index m1, Index m2) {
    if (m1 == m2)
        return true;
    tell_sizes(ctx, group, m1, m2);
    if (landmarks2) {
        ctx.ui.message_box("The samples sizes do not match, shape and shape");
        ctx.ui.console(cformat("[m1 m2] = [%i %i]", static_cast<int>(m1), static_cast<int>(m2)));
    } else {
        ctx.ui.message_box("The samples sizes do not match, shape and variable");
    }
    return false;
}

// Both blocks of a group pair their rows by position: when both files named their specimens,
// the names must agree row by row.
bool ids_match(AppContext& ctx) {
    for (const bool g1 : {true, false}) {
        const std::string g = g1 ? "" : "g";
        if (ctx.vars.empty("ids1" + g) || ctx.vars.empty("ids2" + g))
            continue;
        const std::vector<std::string> a = split_ids(ctx.vars.text("ids1" + g));
        const std::vector<std::string> b = split_ids(ctx.vars.text("ids2" + g));
        if (const std::optional<std::size_t> i = first_id_mismatch(a, b)) {
            const std::string msg =
                cformat("Group %i: specimen %i is \"%s\" in block 1 but \"%s\" in block 2",
                        g1 ? 1 : 2, static_cast<int>(*i + 1), a[*i].c_str(), b[*i].c_str());
            ctx.ui.message_box(msg);
            ctx.ui.console(msg);
            return false;
        }
    }
    return true;
}

}  // namespace

Matrix round4(const Matrix& reference) {
    return reference.unaryExpr([](double x) { return round_half_away(10000.0 * x) / 10000.0; });
}

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
    Session& v = ctx.vars;
    const bool landmarks2 = v.flag("activem2");
    if (landmarks2) {
        Control& button = ctx.ui.control("HomologyButton");
        const double homology = button.value();
        v.set("homology2", homology);
        ctx.ui.console(cformat("homology2 = %g", homology));
        v.set("referencetype2", 0.0);
        button.set_enable("Off");
    }
    // With a variable block 2 the value an earlier action stored is used.
    const bool homology2 = v.flag("homology2");

    // References, superimposition and scores are formed before any of them is stored, so that
    // missing or unusable blocks leave the earlier results in place.
    const Matrix data1 = v.require("data1");
    const Matrix data1g = v.require("data1g");
    const Matrix data2 = v.require("data2");
    const Matrix data2g = v.require("data2g");

    // A block 2 of the wrong file cannot be pooled with the other group's; the specimen counts
    // then tell the user what is wrong better than the pooling would.
    if (landmarks2 && homology2 && data2.cols() != data2g.cols()) {
        if (!sizes_match(ctx, 1, true, data1.rows(), data2.rows()) ||
            !sizes_match(ctx, 2, true, data1g.rows(), data2g.rows()))
            return;
    }

    Matrix reference2, reference2g, sup2, sup2g, pw2, pw2g;
    if (landmarks2) {
        if (homology2) {
            reference2 = round4(getconsensus(stack_rows(data2, data2g, "Block 2")).reference);
            reference2g = reference2;
        } else {
            reference2 = round4(getconsensus(data2).reference);
            reference2g = round4(getconsensus(data2g).reference);
        }
    }
    const Matrix reference1 = round4(getconsensus(stack_rows(data1, data1g, "Block 1")).reference);
    const Matrix sup1 = getpsup(data1, reference1);
    const Matrix sup1g = getpsup(data1g, reference1);
    if (landmarks2) {
        sup2 = getpsup(data2, reference2);
        sup2g = getpsup(data2g, reference2g);
    }
    const Matrix pw1 = getpw_arbit(reference1, sup1);
    const Matrix pw1g = getpw_arbit(reference1, sup1g);
    if (landmarks2) {
        pw2 = getpw_arbit(reference2, sup2);
        pw2g = getpw_arbit(reference2g, sup2g);
    }

    v.set("referencetype1", 0.0);
    v.set("reference1", reference1);
    v.set("data1", sup1);
    v.set("data1g", sup1g);
    v.set("pw1", pw1);
    v.set("pw1g", pw1g);
    if (landmarks2) {
        v.set("reference2", reference2);
        v.set("reference2g", reference2g);
        v.set("data2", sup2);
        v.set("data2g", sup2g);
        v.set("pw2", pw2);
        v.set("pw2g", pw2g);
    }

    const Matrix pw1c = centre_columns(pw1);
    const Matrix pw1gc = centre_columns(pw1g);

    // Group 1: X from the scores as the analysis always formed them (block 1 uncentred against
    // a centred variable block; both centred for landmarks), block scores from centred blocks.
    const Index q1 = pw1.cols() - 1;
    const Matrix P1 = pw1c.leftCols(q1);
    BlockPls r1;
    Matrix vm1c, vm2c;
    if (!landmarks2) {
        if (!sizes_match(ctx, 1, false, pw1.rows(), data2.rows()))
            return;
        const Matrix D2 = centre_columns(data2);
        r1 = block_pls(pw1.leftCols(q1), D2, static_cast<double>(pw1.rows()), P1, D2);
        vm2c = principal_axes(data2);
    } else {
        if (!sizes_match(ctx, 1, true, pw1.rows(), pw2.rows()))
            return;
        const Matrix P2 = centre_columns(pw2).leftCols(pw2.cols() - 1);
        r1 = block_pls(P1, P2, 1.0, P1, P2);
        vm2c = principal_axes(P2);
    }
    vm1c = principal_axes(P1);
    store_group(ctx, true, r1, vm1c, vm2c);

    // Group 2: the block scores come from the uncentred scores; only their correlations are
    // reported, and those do not see the means.
    const Index q1g = pw1g.cols() - 1;
    const Matrix S1g = pw1g.leftCols(q1g);
    BlockPls r2;
    Matrix vm1g, vm2g;
    if (!landmarks2) {
        if (!sizes_match(ctx, 2, false, pw1g.rows(), data2g.rows()))
            return;
        const Matrix D2g = centre_columns(data2g);
        r2 = block_pls(S1g, D2g, static_cast<double>(pw1g.rows()), S1g, D2g);
        vm2g = principal_axes(data2g);
    } else {
        if (!sizes_match(ctx, 2, true, pw1g.rows(), pw2g.rows()))
            return;
        const Index q2g = pw2g.cols() - 1;
        const Matrix S2g = pw2g.leftCols(q2g);
        r2 = block_pls(pw1gc.leftCols(q1g), S2g, 1.0, S1g, S2g);
        vm2g = principal_axes(S2g);
    }
    vm1g = principal_axes(S1g);
    store_group(ctx, false, r2, vm1g, vm2g);

    // Only the first axis pair decides the signs of group 2. Block 1 shares one reference, so
    // its axes always have one length; a block 2 of different sizes cannot be compared.
    if (r1.V.rows() != r2.V.rows()) {
        throw Error(
            cformat("block 2 has %i variables in group 1 but %i in group 2, so the "
                    "groups' first axes cannot be compared",
                    static_cast<int>(r1.V.rows()), static_cast<int>(r2.V.rows())));
    }
    if (r1.U.col(0).dot(r2.U.col(0)) < 0 && r1.V.col(0).dot(r2.V.col(0)) < 0) {
        v.set("ubee2g", Matrix(-r2.U));
        v.set("vbee2g", Matrix(-r2.V));
        v.set("swc1g", Matrix(-r2.swc1));
        v.set("swc2g", Matrix(-r2.swc2));
    }

    ctx.ui.control("ShowBox").set_string("1");
    show_report(
        ctx, angle_report(v.matrix("ubee2"), v.matrix("sbee2"), v.matrix("vbee2"),
                          v.matrix("ubee2g"), v.matrix("sbee2g"), v.matrix("vbee2g"), homology2));
}

}  // namespace tesvane
