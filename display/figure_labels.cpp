#include "display/figure_labels.hpp"

#include "display/template_outline.hpp"
#include "platform/cformat.hpp"
#include "platform/group_names.hpp"

namespace tesvane {
namespace {

// Which groups, blocks and axes a plot type shows (types 1 ... 25).
struct PlotKind {
    int block = 1;         // 1 or 2
    int groups = 1;        // 1: group 1, 2: group 2, 3: both
    bool pls = true;       // first (or only) series a PLS axis, else a principal component
    bool against = false;  // PLS against PC (13 ... 20)
    bool reversed = false;
    bool superimposed = false;  // 7, 8
    bool scores = false;        // 25
};

PlotKind kind_of(int t) {
    PlotKind k;
    switch (t) {
        case 1:
            return {1, 3, true};
        case 2:
            return {2, 3, true};
        case 3:
        case 4:
            return {1, t - 2, true};
        case 5:
        case 6:
            return {2, t - 4, true};
        case 7:
        case 8:
            k = {t - 6, 3, false};
            k.superimposed = true;
            return k;
        case 9:
        case 10:
        case 11:
        case 12:
            return {t % 2 == 1 ? 1 : 2, t <= 10 ? 1 : 2, false};
        case 21:
        case 22:
        case 23:
        case 24:
            k = {t % 2 == 1 ? 1 : 2, 3, false};
            k.reversed = t >= 23;
            return k;
        case 25:
            k = {1, 3, true};
            k.scores = true;
            return k;
        default:
            break;
    }
    // 13 ... 20: PLS against PC of one block and group.
    const int i = t - 13;
    k = {i % 2 == 0 ? 1 : 2, (i / 2) % 2 == 0 ? 1 : 2, true};
    k.against = true;
    k.reversed = t >= 17;
    return k;
}

std::string style_of(AppContext& ctx, const char* variable, const char* fallback) {
    if (const SessionValue* value = ctx.vars.find(variable))
        if (const std::string* s = std::get_if<std::string>(value))
            return *s;
    return fallback;
}

std::string axis_name(bool pls, int axis) {
    return pls ? cformat("PLS axis %i", axis) : cformat("principal component %i", axis);
}

std::string capitalised(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z')
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

bool loading_plot(const PlotKind& k, const PictureFacts& f) {
    return k.block == 2 && !f.block2_landmarks && !k.superimposed;
}

// Two series in one picture, each with its own line format (deformation) or marker (loadings).
void two_series(AppContext& ctx, fig::Axes& axes, const PlotKind& k, const PictureFacts& f,
                const std::string& first, const std::string& second) {
    std::string s1 = style_of(ctx, "vlineformat1", "k-"), s2 = style_of(ctx, "vlineformat2", "r-");
    if (loading_plot(k, f)) {
        if (f.plot_type == 2) {
            s1 = "bo", s2 = "r*";
        } else {
            const bool red = f.plot_type == 20;
            s1 = red ? "ro" : "bo", s2 = red ? "rd" : "bd";
        }
    }
    axes.legend = {fig::legend_entry(first, s1), fig::legend_entry(second, s2)};
}

}  // namespace

std::string picture_caption(AppContext& ctx, const PictureFacts& f) {
    const std::string g1 = group_name(ctx, 1), g2 = group_name(ctx, 2);
    if (f.plot_type == 26 || f.plot_type == 27) {
        // The bound is what the picture is read by: say what it is, not only how it is drawn.
        return cformat(
                   "Bootstrap of PLS axis %i, block %i: angles between the axes of two "
                   "resamples of ",
                   f.axis, f.plot_type - 25) +
               g1 + " and of " + g2 +
               cformat(
                   "; dashed: each group's bound (%g %% of its angles at or below it); "
                   "solid: the angle between the groups",
                   100 * (1 - f.alpha));
    }
    const PlotKind k = kind_of(f.plot_type);
    const std::string groups = k.groups == 3 ? g1 + " and " + g2 : (k.groups == 1 ? g1 : g2);
    const std::string rev = k.reversed ? ", " + g2 + " reversed" : "";
    std::string c;
    if (k.scores) {
        return cformat("Scores on PLS axis %i, block 1 against block 2: ", f.axis) + groups;
    }
    if (k.superimposed) {
        // Without homology each group's block 2 has its own consensus.
        const bool pooled = k.block == 1 || f.homology2;
        return cformat("Block %i superimposed on ", k.block) +
               (pooled ? "the pooled consensus: " : "each group's own consensus: ") + groups;
    }
    if (k.against) {
        c = cformat("Block %i, ", k.block) + groups + ": " + axis_name(true, f.axis) + " against " +
            axis_name(false, f.axis) + (k.reversed ? " reversed" : "");
    } else {
        c = capitalised(axis_name(k.pls, f.axis)) + cformat(", block %i, ", k.block) + groups + rev;
    }
    if (loading_plot(k, f))
        return c + "; loadings of the variables";
    if (f.on_template)
        c += "; on the template";
    if (!f.magnitude.empty())
        c += "; " + f.magnitude;
    return c;
}

void label_picture(AppContext& ctx, const PictureFacts& f) {
    fig::Axes& axes = ctx.ui.figure().axes();
    axes.caption = picture_caption(ctx, f);
    if (f.plot_type >= 26) {  // the bootstrap's picture names its own series
        axes.refresh();
        return;
    }
    const PlotKind k = kind_of(f.plot_type);
    const std::string g1 = group_name(ctx, 1), g2 = group_name(ctx, 2);

    if (k.scores) {
        axes.xlabel = cformat("Block 1 PLS %i scores", f.axis);
        axes.ylabel = cformat("Block 2 PLS %i scores", f.axis);
        const Matrix& r1 = ctx.vars.matrix("scor2");
        const Matrix& r2 = ctx.vars.matrix("scor2g");
        auto with_r = [&](const std::string& name, const Matrix& r) {
            const Index i = f.axis - 1;
            return i >= 0 && i < r.size() ? name + cformat(" (r = %.3f)", r(i)) : name;
        };
        axes.legend = {fig::legend_entry(with_r(g1, r1), "bo"),
                       fig::legend_entry(with_r(g2, r2), "r*")};
        axes.refresh();
        return;
    }
    if (k.superimposed) {
        axes.xlabel = "Procrustes x";
        axes.ylabel = "Procrustes y";
        axes.legend = {fig::legend_entry(g1, "bo"), fig::legend_entry(g2, "ro")};
        if (k.block == 1) {
            axes.legend.push_back(fig::legend_entry("Consensus", "k+"));
        } else {
            axes.legend.push_back(fig::legend_entry("Consensus, " + g1, "k+"));
            axes.legend.push_back(fig::legend_entry("Consensus, " + g2, "ks"));
        }
        axes.refresh();
        return;
    }

    const bool loadings = loading_plot(k, f);
    if (loadings) {
        const Matrix& data = ctx.vars.matrix(k.groups == 2 ? "data2g" : "data2");
        const Index n = data.cols();
        axes.xlabel = "Variable";
        axes.ylabel = "Loading on " + axis_name(k.pls, f.axis);
        if (k.against)
            axes.ylabel = "Loading";
        for (Index j = 1; j <= n; ++j) {
            axes.xticks.values.push_back(static_cast<double>(j));
            axes.xticks.labels.push_back(n <= 6 ? cformat("Variable %i", static_cast<int>(j))
                                                : cformat("%i", static_cast<int>(j)));
        }
    } else {
        axes.deformation_picture = true;
    }

    const std::string rev = k.reversed ? ", reversed" : "";
    if (k.against) {
        two_series(ctx, axes, k, f, cformat("PLS %i", f.axis), cformat("PC %i", f.axis) + rev);
    } else if (k.groups == 3) {
        two_series(ctx, axes, k, f, g1, g2 + rev);
    }
    if (f.on_template && f.deftype >= 1 && f.deftype <= 9) {
        axes.legend.push_back({"Template outline, warped", kWarpedOutline, "-", "none", false});
        const Control* grey = ctx.ui.find_control("OutlineButton");
        if (grey && grey->value() != 0)
            axes.legend.push_back({"Template outline", kUndeformedOutline, "-", "none", false});
    }
    if (!loadings) {
        for (const auto& o : axes.drawing_order()) {
            if (auto* c = dynamic_cast<fig::FilledContour*>(o.get()))
                c->label = f.deftype == 9 ? "|y displacement|" : "|x displacement|";
        }
    }
    axes.refresh();
}

}  // namespace tesvane
