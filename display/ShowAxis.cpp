#include "display/ShowAxis.hpp"

#include <climits>
#include <cmath>

#include "analysis/block_references.hpp"
#include "analysis/two_block_pls.hpp"
#include "display/figure_labels.hpp"
#include "display/showbootangles.hpp"
#include "display/showplsscores.hpp"
#include "display/showpw4template.hpp"
#include "display/showpw5.hpp"
#include "display/showshape.hpp"
#include "geometry/getpsup.hpp"
#include "io/number_parse.hpp"
#include "platform/cformat.hpp"
#include "platform/checked_int.hpp"
#include "platform/error.hpp"
#include "platform/group_names.hpp"
#include "platform/plain_words.hpp"
#include "platform/session_variables.hpp"

namespace tesvane {
namespace {

// Every display call of this action uses the superimposition that leaves the forms as they are.
constexpr int kSupType = 2;

double box_number(Platform& ui, const char* tag) {
    const std::vector<double> v = parse_numbers(ui.control(tag).string());
    if (v.empty())
        throw Error(cformat("%s holds no number", tag));
    return v[0];
}

// The values read from the main window, in the order they are read.
struct ShowSettings {
    double b1 = 0, b2 = 0;
    double exaggeration = 1;
    double axis = 1;  // svdtarget
    int deftype = 1;
    double rangeexpansion = 1;
    int targetchoice = 1;
    bool tempactive = false;
    // How far the target lies along an axis (ScaleBox): the Exaggeration times the unit axis,
    // Exaggeration standard deviations of the specimens' scores, or the largest score.
    enum class Scale { Factor = 1, Sd = 2, Range = 3 } scale = Scale::Factor;
};

ShowSettings read_settings(AppContext& ctx) {
    Platform& ui = ctx.ui;
    ShowSettings s;
    s.b1 = box_number(ui, "BaseBox1");
    s.b2 = box_number(ui, "BaseBox2");
    ctx.vars.set("gridtrim", ui.control("GridButton").value());
    s.exaggeration = box_number(ui, "ExagerationBox");
    s.axis = box_number(ui, "ShowBox");
    // Refused before any check compares it with the axes: no integer holds it.
    checked_int(s.axis, INT_MIN, INT_MAX, "The axis number (ShowBox)");
    s.deftype =
        checked_int(ui.control("DeFormat").value(), 1, 9, "The deformation type (DeFormat)");
    s.rangeexpansion = box_number(ui, "RangeBox");
    // A value that is no plot type falls through the list of plot types like any unknown one.
    s.targetchoice = static_cast<int>(
        to_integer(ui.control("ReqAxisBox").value(), INT_MIN, INT_MAX).value_or(0));
    ctx.vars.set("homology2", ui.control("HomologyButton").value());
    s.tempactive = ui.control("TemplateButton").value() != 0;
    if (const Control* scale = ui.find_control("ScaleBox")) {
        const double v = scale->value();
        if (v == 2 || v == 3)
            s.scale = static_cast<ShowSettings::Scale>(static_cast<int>(v));
    }
    ui.console(cformat("BaseBox2 %g, axis %g, plot %i, 1, template %i", s.b2, s.axis,
                       s.targetchoice, s.tempactive ? 1 : 0));
    return s;
}

// Column `col` (1-based) of a session matrix as a column vector; an Error when there is none.
Matrix axis_column(const Session& vars, const char* name, double col) {
    const Matrix& m = vars.require(name);
    if (col != std::floor(col) || col < 1 || col > static_cast<double>(m.cols()))
        throw Error(cformat("Axis %g is not one of %s: choose 1 ... %i in the Axis box", col,
                            variable_description(name).c_str(), static_cast<int>(m.cols())));
    return m.col(static_cast<Index>(col) - 1);
}

// One axis picked for a picture: PLS axis s, or principal component s of an eigenvector matrix
// stored in ascending order (column numpca + 1 - s), possibly reversed.
struct AxisPick {
    const char* matrix;
    bool principal = false;
    bool reversed = false;
    const char* numpca_from = nullptr;  // group 1's matrix for types 21 to 24
};

AxisPick pls(const char* m) {
    return {m, false, false, nullptr};
}
AxisPick pc(const char* m, bool reversed = false, const char* numpca_from = nullptr) {
    return {m, true, reversed, numpca_from};
}

// Loadings sit on whole variable numbers: half a step of room at either end and a tenth of the
// range above and below, so that no marker lies on the frame.
void frame_loadings(fig::Axes& axes, const Matrix& first, const Matrix& second) {
    double lo = 0, hi = 0;
    for (const Matrix* m : {&first, &second}) {
        for (Index i = 0; i < m->size(); ++i) {
            if (std::isfinite((*m)(i))) {
                lo = std::min(lo, (*m)(i));
                hi = std::max(hi, (*m)(i));
            }
        }
    }
    const double pad = hi > lo ? 0.1 * (hi - lo) : 1;
    axes.set_limits({0.5, static_cast<double>(first.cols()) + 0.5, lo - pad, hi + pad});
}

class AxisPainter {
  public:
    AxisPainter(AppContext& ctx, const ShowSettings& s) : ctx_(ctx), s_(s) {}

    Matrix axis(const AxisPick& a) const {
        double col = s_.axis;
        if (a.principal) {
            const char* from = a.numpca_from ? a.numpca_from : a.matrix;
            col = static_cast<double>(ctx_.vars.require(from).cols()) + 1 - s_.axis;
        }
        return axis_column(ctx_.vars, a.matrix, col);
    }

    // The axis as a score row f * [a', 1] for the deformation displays, f after the Scale.
    Matrix score_row(const AxisPick& a) const {
        const Matrix col = axis(a);
        Matrix row(1, col.size() + 1);
        row.leftCols(col.size()) = col.transpose();
        row(0, col.size()) = 1;
        const double f = factor(a, col);
        ctx_.ui.console(cformat("%s: the target lies %g along the unit axis", a.matrix, f));
        return (a.reversed ? -f : f) * row;
    }

    // The distance of the target along the (unreversed) unit axis `col`.
    double factor(const AxisPick& a, const Matrix& col) const {
        if (s_.scale == ShowSettings::Scale::Factor)
            return s_.exaggeration;
        ColVector t = scores(a, col);
        t.array() -= t.mean();
        if (a.reversed)
            t = -t;
        if (s_.scale == ShowSettings::Scale::Sd) {
            const double sd = t.size() > 1 ? std::sqrt(t.squaredNorm() / double(t.size() - 1)) : 0;
            return s_.exaggeration * sd;
        }
        return t.size() > 0 ? t.maxCoeff() : 0;
    }

    // The specimens' scores on the axis: the block scores of a PLS axis, the shape scores
    // (without centroid size) projected on a principal component.
    ColVector scores(const AxisPick& a, const Matrix& col) const {
        const std::string m = a.matrix;
        const bool g2 = m.back() == 'g';
        const bool block1 = m.find('1') != std::string::npos || m.rfind("ubee2", 0) == 0;
        if (!a.principal) {
            const Matrix& swc =
                ctx_.vars.require(std::string(block1 ? "swc1" : "swc2") + (g2 ? "g" : ""));
            const Index c = static_cast<Index>(s_.axis) - 1;
            if (c < 0 || c >= swc.cols())
                throw Error(cformat("No scores on PLS axis %g", s_.axis));
            return swc.col(c);
        }
        const Matrix& pw = ctx_.vars.require(std::string(block1 ? "pw1" : "pw2") + (g2 ? "g" : ""));
        if (pw.cols() != col.size() + 1)
            throw Error(cformat("The scores of %s do not fit its axes", m.c_str()));
        return pw.leftCols(col.size()) * col;
    }

    // One deformation layer on `reference`; the rotation it used becomes defangle.
    void layer(const char* reference, const Matrix& score, int plottype, const char* format) {
        Session& v = ctx_.vars;
        const DeformationResult r =
            showpw5(ctx_.ui, v.require(reference), score, vplotdensity(), plottype, kSupType,
                    base(s_.b1, "BaseBox1"), base(s_.b2, "BaseBox2"), v.scalar("vlinewidth"),
                    v.text(format), v.text("vrefsymbol"), v.scalar("vaheads"), s_.rangeexpansion,
                    v.scalar("gridtrim"), v.scalar("defangle"));
        v.set("defangle", r.theta);
    }

    void single(const char* reference, const AxisPick& a, const char* format) {
        layer(reference, score_row(a), s_.deftype, format);
    }

    // Plot type 3 clears and draws the first axis, plot type 5 the second over it. Both axes
    // are taken before drawing, so a missing one leaves the previous picture.
    void two_layers(const char* ref1, const AxisPick& a1, const char* ref2, const AxisPick& a2,
                    bool echo_defangle = false) {
        const Matrix first = score_row(a1);
        const Matrix second = score_row(a2);
        ctx_.vars.require(ref2);
        layer(ref1, first, 3, "vlineformat1");
        if (echo_defangle)
            echo_angle();
        layer(ref2, second, 5, "vlineformat2");
        if (echo_defangle)
            echo_angle();
    }

    void on_template(const char* templ, const char* clist, const AxisPick& a) {
        Session& v = ctx_.vars;
        if (v.empty(templ) || v.empty(clist))
            throw Error("No template is loaded: load the templates first");
        const DeformationResult r = showpw4template(
            ctx_.ui, v.require(templ), v.require(clist), v.require("reference1"), score_row(a),
            vplotdensity(), s_.deftype, kSupType, base(s_.b1, "BaseBox1"), base(s_.b2, "BaseBox2"),
            v.scalar("vlinewidth"), v.text("vlineformat1"), v.text("vrefsymbol"),
            v.scalar("vaheads"), s_.rangeexpansion, v.scalar("gridtrim"), v.scalar("defangle"));
        v.set("defangle", r.theta);
    }

    // A loading plot: the axis as a row, neither exaggerated nor extended, negated if reversed.
    void loadings(const AxisPick& a1, const char* style1, const AxisPick* a2 = nullptr,
                  const char* style2 = nullptr) {
        Matrix first = loading_row(a1);
        Matrix second = a2 ? loading_row(*a2) : Matrix();
        fig::Axes& axes = ctx_.ui.figure().axes();
        axes.cla();
        axes.set_hold(false);
        shownonshape(ctx_.ui, first, style1);
        if (a2)
            shownonshape(ctx_.ui, second, style2);
        frame_loadings(axes, first, second);
    }

  private:
    int vplotdensity() const {
        return checked_int(ctx_.vars.scalar("vplotdensity"), 1, 500, "The plot density");
    }
    static int base(double b, const char* tag) {
        return checked_int(b, 1, 1000000, cformat("The base landmark (%s)", tag));
    }
    void echo_angle() const {
        ctx_.ui.console(cformat("defangle = %g", ctx_.vars.scalar("defangle")));
    }
    Matrix loading_row(const AxisPick& a) const {
        const Matrix row = axis(a).transpose();
        return a.reversed ? Matrix(-row) : row;
    }

    AppContext& ctx_;
    const ShowSettings& s_;
};

// Plot types 7 and 8: references and superimposed blocks recomputed, stored and drawn.
bool show_superimposed(AppContext& ctx, bool block1) {
    Session& v = ctx.vars;
    const bool landmarks2 = v.flag("activem2");
    if (!block1 && !landmarks2) {
        ctx.ui.message_box("Sorrry, no data display for non-shape block 2 data");
        return false;
    }
    Control& homology = ctx.ui.control("HomologyButton");
    const double homology2 = homology.value();

    // With a variable block 2 the block-2 steps are skipped, as the analysis skips them.
    const Matrix none;
    const Matrix& d2 = landmarks2 ? v.require("data2") : none;
    const Matrix& d2g = landmarks2 ? v.require("data2g") : none;
    const Matrix& d1 = block1 ? v.require("data1") : none;
    const Matrix& d1g = block1 ? v.require("data1g") : none;

    // Everything is computed before anything is stored, so a failure leaves the session whole.
    const BlockReferences refs = block_references(d1, d1g, d2, d2g, homology2 != 0);
    const Matrix &reference1 = refs.reference1, &reference2 = refs.reference2,
                 &reference2g = refs.reference2g;
    Matrix data1, data1g, data2, data2g;
    if (block1) {
        data1 = getpsup(d1, reference1);
        data1g = getpsup(d1g, reference1);
    }
    if (landmarks2) {
        data2 = getpsup(d2, reference2);
        data2g = getpsup(d2g, reference2g);
    }

    if (landmarks2) {
        v.set("referencetype2", 0.0);
        v.set("homology2", homology2);
        homology.set_enable("Off");
        v.set("reference2", reference2);
        v.set("reference2g", reference2g);
    }
    if (block1) {
        v.set("referencetype1", 0.0);
        v.set("reference1", reference1);
        v.set("data1", data1);
        v.set("data1g", data1g);
    }
    if (landmarks2) {
        v.set("data2", data2);
        v.set("data2g", data2g);
    }

    fig::Axes& axes = ctx.ui.figure().axes();
    axes.cla();
    if (block1) {
        showshape(axes, data1, "bo");
        showshape(axes, data1g, "ro");
        showshape(axes, reference1, "k+");
    } else {
        showshape(axes, data2, "bo");
        showshape(axes, data2g, "ro");
        showshape(axes, reference2, "k+");
        showshape(axes, reference2g, "ks");
    }
    return true;
}

GroupScores group_scores(const Session& v, int group, double axis) {
    const GroupVariables& n = group_variables(group);
    GroupScores out{v.require(n.swc1), v.require(n.swc2), 0};
    const Matrix& r = v.require(n.scor2);
    if (axis >= 1 && axis <= static_cast<double>(r.size()))
        out.r = r(static_cast<Index>(axis) - 1);
    return out;
}

// The score plot, an addition after the 24 plot types of the axis list.
void show_scores(AppContext& ctx, double axis) {
    if (axis != std::floor(axis))
        throw Error(cformat("Axis %g is not a whole number", axis));
    const int number = checked_int(axis, INT_MIN, INT_MAX, "The axis number (ShowBox)");
    showplsscores(ctx.ui.figure().axes(), group_scores(ctx.vars, 1, axis),
                  group_scores(ctx.vars, 2, axis), number);
}

// The bootstrap's picture of one block's angles on axis s; false with a message when there is
// no bootstrap to show.
bool show_bootstrap(AppContext& ctx, const ShowSettings& s, int block) {
    Session& v = ctx.vars;
    const std::string b = block == 1 ? "bangle1" : "bangle2";
    if (v.matrix(b).size() == 0 || v.matrix(b + "g").size() == 0) {
        ctx.ui.message_box(block == 1 ? "Run the bootstrap first: this picture shows its angles"
                                      : "Run the bootstrap first, with block 2 homologous: this "
                                        "picture shows its angles");
        return false;
    }
    const Matrix& t1 = v.matrix(b);
    const Matrix& t2 = v.matrix(b + "g");
    const double a = s.axis;
    if (a != std::floor(a) || a < 1 || a > static_cast<double>(std::min(t1.cols(), t2.cols())))
        throw Error(cformat("Axis %g has no bootstrap angles (1 ... %i)", a,
                            static_cast<int>(std::min(t1.cols(), t2.cols()))));
    const Index k = static_cast<Index>(a) - 1;
    BootAngles ba;
    auto finite = [k](const Matrix& t) {
        std::vector<double> out;
        for (Index r = 0; r < t.rows(); ++r)
            if (std::isfinite(t(r, k)))
                out.push_back(t(r, k));
        return out;
    };
    ba.group1 = finite(t1);
    ba.group2 = finite(t2);
    ba.alpha = v.empty("balpha") ? 0.05 : v.scalar("balpha");
    auto column = [k](const Matrix& t) {
        const ColVector c = t.col(k);
        return std::vector<double>(c.begin(), c.end());
    };
    ba.bound1 = angle_bound(column(t1), ba.alpha);
    ba.bound2 = angle_bound(column(t2), ba.alpha);
    ba.observed = NAN;
    const Matrix& S1 = v.require("sbee2");
    const Matrix& S2 = v.require("sbee2g");
    if (!is_null_axis(S1, k) && !is_null_axis(S2, k)) {
        ba.observed = block == 1 ? axis_angle(v.require("ubee2"), v.require("ubee2g"), k)
                                 : axis_angle(v.require("vbee2g"), v.require("vbee2"), k);
    }
    ba.name1 = group_name(ctx, 1);
    ba.name2 = group_name(ctx, 2);
    showbootangles(ctx.ui.figure().axes(), ba);
    return true;
}

// What the caption says of the target's distance from the reference.
std::string magnitude_text(const ShowSettings& s) {
    switch (s.scale) {
        case ShowSettings::Scale::Sd:
            return cformat("target at %+g SD of the scores", s.exaggeration);
        case ShowSettings::Scale::Range:
            return "target at the largest observed score";
        default:
            return cformat("target at %g × the unit-length axis", s.exaggeration);
    }
}

// The number of leading axes of a group's analysis that are not null axes.
Index defined_axes(const Matrix& S) {
    const Index n = std::min(S.rows(), S.cols());
    Index i = 0;
    while (i < n && !is_null_axis(S, i))
        ++i;
    return i;
}

// A PLS axis beyond the rank of a group the picture shows has no direction of its own (its
// singular vector is an arbitrary vector of the null space): the reason it is not drawn, or
// the empty text.
std::string undefined_axis(AppContext& ctx, const ShowSettings& s) {
    int groups = 0;  // 1: group 1, 2: group 2, 3: both
    switch (s.targetchoice) {
        case 1:
        case 2:
        case 25:
        case 26:
        case 27:
            groups = 3;
            break;
        case 3:
        case 5:
        case 13:
        case 14:
        case 17:
        case 18:
            groups = 1;
            break;
        case 4:
        case 6:
        case 15:
        case 16:
        case 19:
        case 20:
            groups = 2;
            break;
        default:
            return "";
    }
    if (s.axis != std::floor(s.axis) || s.axis < 1)
        return "";
    for (int g = 1; g <= 2; ++g) {
        if (!(groups & g))
            continue;
        const Matrix& S = ctx.vars.matrix(g == 1 ? "sbee2" : "sbee2g");
        if (S.size() == 0)
            continue;  // no analysis: the display says what is missing
        const Index defined = defined_axes(S);
        if (s.axis > static_cast<double>(defined))
            return cformat("Axis %g is not defined for %s: the analysis has %i defined axes",
                           s.axis, group_name(ctx, g).c_str(), static_cast<int>(defined));
    }
    return "";
}

// Draws the picture; false when it showed a message instead or knows no such plot type.
bool show_plot(AppContext& ctx, const ShowSettings& s) {
    AxisPainter p(ctx, s);
    const bool lm2 = ctx.vars.flag("activem2");
    const bool homology2 = ctx.vars.flag("homology2");
    auto not_for_variables = [&] {
        ctx.ui.message_box("Sorry not implemented for non-shape data in block 2");
    };
    switch (s.targetchoice) {
        case 1:
            p.two_layers("reference1", pls("ubee2"), "reference1", pls("ubee2g"), true);
            return true;
        case 2:
            if (!homology2) {
                ctx.ui.message_box(
                    "A common display of the Block 2 SVD axes is not possible, as the two blocks "
                    "are non-homologous");
                return false;
            }
            if (lm2)
                p.two_layers("reference2", pls("vbee2"), "reference2", pls("vbee2g"));
            else {
                const AxisPick g2 = pls("vbee2g");
                p.loadings(pls("vbee2"), "bo", &g2, "r*");
            }
            return true;
        case 3:
        case 4: {
            const bool g1 = s.targetchoice == 3;
            const AxisPick a = pls(g1 ? "ubee2" : "ubee2g");
            if (s.tempactive)
                p.on_template(g1 ? "templatea" : "templateb", g1 ? "clist2" : "clist4", a);
            else
                p.single("reference1", a, "vlineformat1");
            return true;
        }
        case 5:
            lm2 ? p.single("reference2", pls("vbee2"), "vlineformat1")
                : p.loadings(pls("vbee2"), "bo");
            return true;
        case 6:
            lm2 ? p.single("reference2g", pls("vbee2g"), "vlineformat1")
                : p.loadings(pls("vbee2g"), "r*");
            return true;
        case 7:
        case 8:
            return show_superimposed(ctx, s.targetchoice == 7);
        case 9:
            p.single("reference1", pc("Vm1c"), "vlineformat2");
            return true;
        case 10:
            lm2 ? p.single("reference2", pc("Vm2c"), "vlineformat2") : p.loadings(pc("Vm2c"), "bo");
            return true;
        case 11:
            p.single("reference1", pc("Vm1g"), "vlineformat2");
            return true;
        case 12:
            lm2 ? p.single("reference2g", pc("Vm2g"), "vlineformat2")
                : p.loadings(pc("Vm2g"), "r*");
            return true;
        case 13:
        case 17:
            p.two_layers("reference1", pls("ubee2"), "reference1",
                         pc("Vm1c", s.targetchoice == 17));
            return true;
        case 15:
        case 19:
            p.two_layers("reference1", pls("ubee2g"), "reference1",
                         pc("Vm1g", s.targetchoice == 19));
            return true;
        case 14:
        case 18:
        case 16:
        case 20: {
            const bool g1 = s.targetchoice == 14 || s.targetchoice == 18;
            const bool reversed = s.targetchoice >= 17;
            const AxisPick a1 = pls(g1 ? "vbee2" : "vbee2g");
            const AxisPick a2 = pc(g1 ? "Vm2c" : "Vm2g", reversed);
            if (lm2) {
                const char* ref = g1 ? "reference2" : "reference2g";
                p.two_layers(ref, a1, ref, a2);
            } else {
                const bool red = s.targetchoice == 20;
                p.loadings(a1, red ? "ro" : "bo", &a2, red ? "rd" : "bd");
            }
            return true;
        }
        case 21:
        case 23:
            p.two_layers("reference1", pc("Vm1c"), "reference1",
                         pc("Vm1g", s.targetchoice == 23, "Vm1c"));
            return true;
        case 22:
        case 24:
            if (!lm2) {
                not_for_variables();
                return false;
            }
            p.two_layers("reference2", pc("Vm2c"), "reference2g",
                         pc("Vm2g", s.targetchoice == 24, "Vm2c"));
            return true;
        case 25:
            show_scores(ctx, s.axis);
            return true;
        case 26:
        case 27:
            return show_bootstrap(ctx, s, s.targetchoice - 25);
        default:
            ctx.ui.console("Fell through case on plot");
            return false;
    }
}

}  // namespace

void ShowAxis(AppContext& ctx) {
    const ShowSettings s = read_settings(ctx);
    if (const std::string why = undefined_axis(ctx, s); !why.empty()) {
        ctx.ui.message_box(why);
        ctx.ui.console(why);
        return;
    }
    if (!show_plot(ctx, s))
        return;
    PictureFacts facts;
    facts.plot_type = s.targetchoice;
    facts.axis = static_cast<int>(s.axis);
    facts.deftype = s.deftype;
    facts.block2_landmarks = ctx.vars.flag("activem2");
    facts.on_template = s.tempactive && (s.targetchoice == 3 || s.targetchoice == 4);
    facts.magnitude = magnitude_text(s);
    facts.homology2 = ctx.vars.flag("homology2");
    if (!ctx.vars.empty("balpha"))
        facts.alpha = ctx.vars.scalar("balpha");
    label_picture(ctx, facts);
}

}  // namespace tesvane
