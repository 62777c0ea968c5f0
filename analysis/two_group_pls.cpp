#include "analysis/two_group_pls.hpp"

#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/linalg.hpp"
#include "platform/rank_decompositions.hpp"
#include "platform/scalar.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

// The largest magnitude in a variable block: its products with shape scores of unit-size forms
// are no larger.
double value_scale(const Matrix& block) {
    return block.size() ? block.cwiseAbs().maxCoeff() : 0.0;
}

Matrix principal_axes(const Matrix& block) {
    return covariance_eigen(block).vectors;
}

Matrix shape_columns(const Matrix& pw) {
    return pw.leftCols(pw.cols() - 1);
}

// Group 1: X from the scores as the analysis always formed them (block 1 uncentred against a
// centred variable block; both centred for landmarks), block scores from centred blocks.
GroupPls first_group(const TwoGroupResult& r, const TwoGroupInput& in) {
    const Matrix P1 = shape_columns(centre_columns(r.pw1));
    GroupPls g;
    if (!in.landmarks2) {
        const Matrix D2 = centre_columns(in.data2);
        g.pls = block_pls(shape_columns(r.pw1), D2, static_cast<double>(r.pw1.rows()), P1, D2,
                          kAllAxes, false, value_scale(in.data2));
        g.vm2 = principal_axes(in.data2);
    } else {
        const Matrix P2 = shape_columns(centre_columns(r.pw2));
        g.pls = block_pls(P1, P2, 1.0, P1, P2, kAllAxes, false, 1.0);
        g.vm2 = principal_axes(P2);
    }
    g.vm1 = principal_axes(P1);
    return g;
}

// Group 2: the block scores come from the uncentred scores; only their correlations are
// reported, and those do not see the means.
GroupPls second_group(const TwoGroupResult& r, const TwoGroupInput& in) {
    const Matrix S1g = shape_columns(r.pw1g);
    GroupPls g;
    if (!in.landmarks2) {
        const Matrix D2g = centre_columns(in.data2g);
        g.pls = block_pls(S1g, D2g, static_cast<double>(r.pw1g.rows()), S1g, D2g, kAllAxes, false,
                          value_scale(in.data2g));
        g.vm2 = principal_axes(in.data2g);
    } else {
        const Matrix S2g = shape_columns(r.pw2g);
        g.pls = block_pls(shape_columns(centre_columns(r.pw1g)), S2g, 1.0, S1g, S2g, kAllAxes,
                          false, 1.0);
        g.vm2 = principal_axes(S2g);
    }
    g.vm1 = principal_axes(S1g);
    return g;
}

std::optional<SizeMismatch> mismatch(int group, const Matrix& pw1, const Matrix& block2) {
    if (pw1.rows() == block2.rows())
        return std::nullopt;
    return SizeMismatch{group, pw1.rows(), block2.rows()};
}

// Only the first axis pair decides the signs of group 2.
bool align_signs(const GroupPls& g1, GroupPls& g2) {
    BlockPls& p = g2.pls;
    if (!(g1.pls.U.col(0).dot(p.U.col(0)) < 0 && g1.pls.V.col(0).dot(p.V.col(0)) < 0))
        return false;
    p.U = -p.U;
    p.V = -p.V;
    p.swc1 = -p.swc1;
    p.swc2 = -p.swc2;
    return true;
}

}  // namespace

Matrix round4(const Matrix& reference) {
    return reference.unaryExpr([](double x) { return round_half_away(10000.0 * x) / 10000.0; });
}

TwoGroupResult two_group_pls(const TwoGroupInput& in) {
    TwoGroupResult r;
    // Block 2 of the wrong file cannot be pooled with the other group's; the specimen counts
    // then say what is wrong better than the pooling would, and nothing is computed.
    if (in.landmarks2 && in.homology2 && in.data2.cols() != in.data2g.cols()) {
        if ((r.mismatch = mismatch(1, in.data1, in.data2)) ||
            (r.mismatch = mismatch(2, in.data1g, in.data2g)))
            return r;
    }
    const Matrix none;
    const BlockReferences refs =
        block_references(in.data1, in.data1g, in.landmarks2 ? in.data2 : none,
                         in.landmarks2 ? in.data2g : none, in.homology2);
    r.references = {round4(refs.reference1), round4(refs.reference2), round4(refs.reference2g)};
    const Matrix& ref1 = r.references.reference1;
    r.data1 = getpsup(in.data1, ref1);
    r.data1g = getpsup(in.data1g, ref1);
    if (in.landmarks2) {
        r.data2 = getpsup(in.data2, r.references.reference2);
        r.data2g = getpsup(in.data2g, r.references.reference2g);
    }
    r.pw1 = getpw_arbit(ref1, r.data1);
    r.pw1g = getpw_arbit(ref1, r.data1g);
    if (in.landmarks2) {
        r.pw2 = getpw_arbit(r.references.reference2, r.data2);
        r.pw2g = getpw_arbit(r.references.reference2g, r.data2g);
    }

    if ((r.mismatch = mismatch(1, r.pw1, in.landmarks2 ? r.pw2 : in.data2)))
        return r;
    r.group1 = first_group(r, in);
    if ((r.mismatch = mismatch(2, r.pw1g, in.landmarks2 ? r.pw2g : in.data2g)))
        return r;
    r.group2 = second_group(r, in);

    // Block 1 shares one reference, so its axes always have one length; a block 2 of
    // different sizes cannot be compared.
    const Index v1 = r.group1->pls.V.rows(), v2 = r.group2->pls.V.rows();
    if (v1 != v2) {
        throw Error(
            cformat("block 2 has %i variables in group 1 but %i in group 2, so the "
                    "groups' first axes cannot be compared",
                    static_cast<int>(v1), static_cast<int>(v2)));
    }
    r.group2_negated = align_signs(*r.group1, *r.group2);
    return r;
}

}  // namespace tesvane
