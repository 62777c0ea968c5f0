#include "app/report_html.hpp"

#include <cmath>

#include "platform/cformat.hpp"

namespace tesvane {
namespace {

std::string esc(const std::string& t) {
    return html_escape(t);
}

// A number, or the words for a value that is not defined.
std::string num(double v, const char* fmt = "%.3f") {
    return std::isnan(v) ? std::string("not defined") : cformat(fmt, v);
}

std::string pval(double p) {
    return std::isnan(p) ? std::string("not defined") : cformat("%.4g", p);
}

// A permutation p with its Monte-Carlo interval: "0.046 (0.034–0.061)".
std::string pval(const MonteCarloP& p) {
    return std::isnan(p.p) ? std::string("not defined")
                           : cformat("%.4g (%.2g–%.2g)", p.p, p.lower, p.upper);
}

// 1st, 2nd, 3rd, 4th, ..., 11th, 12th, 13th, ..., 21st, ...
std::string ordinal(Index n) {
    const Index tens = n % 100, units = n % 10;
    const char* suffix = tens >= 11 && tens <= 13 ? "th"
                         : units == 1             ? "st"
                         : units == 2             ? "nd"
                         : units == 3             ? "rd"
                                                  : "th";
    return std::to_string(n) + suffix;
}

std::string possessive(const std::string& name) {
    return name + (!name.empty() && name.back() == 's' ? "'" : "'s");
}

bool numeric(const std::string& c) {
    return !c.empty() && c.find_first_not_of("0123456789.-+e") == std::string::npos;
}

// Numbers are set right-aligned, so that their digits line up.
std::string row(const std::vector<std::string>& cells, const char* tag = "td") {
    std::string s = "<tr>";
    for (const std::string& c : cells)
        s += cformat(numeric(c) && tag[1] == 'd' ? "<%s class=\"n\">" : "<%s>", tag) + c +
             cformat("</%s>", tag);
    return s + "</tr>\n";
}

std::string head_row(const std::vector<std::string>& cells) {
    return "<thead>" + row(cells, "th") + "</thead>\n";
}

const char* kStyle = R"(
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; font-size: 11pt;
       line-height: 1.4; max-width: 60em; margin: 2em auto; padding: 0 1em; color: #111; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.25em; border-bottom: 1px solid #999; margin-top: 1.6em; }
h3 { font-size: 1.05em; margin-bottom: 0.3em; }
table { border-collapse: collapse; margin: 0.5em 0 1em; }
th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
th { background: #eee; font-weight: 600; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
code, pre { font-family: "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 0.9em; }
pre { white-space: pre-wrap; word-break: break-all; background: #f6f6f6; padding: 0.5em; }
.hash { word-break: break-all; }
.null { color: #777; font-style: italic; }
.figures { display: grid; grid-template-columns: repeat(auto-fill, minmax(8.5cm, 1fr));
           gap: 0 1.5em; }
figure { margin: 1em 0; break-inside: avoid; page-break-inside: avoid; }
figure svg { display: block; width: 100%; max-width: 12cm; height: auto; border: 1px solid #ddd; }
figcaption { font-size: 0.95em; margin-top: 0.3em; }
.meta { color: #444; }
@page { size: A4; margin: 16mm; }
@media print {
  body { font-size: 10pt; max-width: none; margin: 0; padding: 0; }
  h2 { break-after: avoid; page-break-after: avoid; }
  table, figure, pre { break-inside: avoid; page-break-inside: avoid; }
  th { background: #eee; -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  .figures { grid-template-columns: 1fr 1fr; }
  figure svg { max-width: 8.5cm; }
}
)";

std::string setting_rows(const Provenance& p) {
    std::string s;
    s += row({"Block 2", p.landmarks2 ? "landmarks" : "variables"});
    s += row({"Block-2 axes compared between the groups (homology)", p.homology2 ? "on" : "off"});
    s += row({"Bootstrap replicates per group",
              p.bootstrap_replicates ? std::to_string(*p.bootstrap_replicates) : "not run"});
    s += row({"Alpha of the bootstrap bounds", p.alpha ? cformat("%g", *p.alpha) : "not run"});
    s += row(
        {"Permutations per group", p.permutations ? std::to_string(*p.permutations) : "not run"});
    s += row(
        {"Seed of the random streams", cformat("%llu", static_cast<unsigned long long>(p.seed))});
    s += row({"Threads (results do not depend on them)",
              p.threads ? std::to_string(p.threads) : "one per core"});
    return s;
}

std::string provenance_section(const Provenance& p, const ResultsSummary& s) {
    std::string h = "<h2 id=\"provenance\">Provenance</h2>\n<table>\n<tbody>\n";
    h += row({"Program", esc(p.program)});
    h += row({"Created (UTC)", esc(p.created)});
    h += row({"Groups", esc(p.groups[0]) + " (group 1), " + esc(p.groups[1]) + " (group 2)"});
    h += row({"Specimens",
              cformat("%s: %i; %s: %i", esc(p.groups[0]).c_str(), static_cast<int>(p.specimens[0]),
                      esc(p.groups[1]).c_str(), static_cast<int>(p.specimens[1]))});
    h += row({"Block 1", cformat("%i landmarks (%i shape variables)",
                                 static_cast<int>(p.landmarks1), static_cast<int>(s.q1))});
    h += row({"Block 2", p.landmarks2
                             ? cformat("%i landmarks (%i shape variables)",
                                       static_cast<int>(p.block2_size), static_cast<int>(s.q2))
                             : cformat("%i variables", static_cast<int>(p.block2_size))});
    h += "</tbody>\n</table>\n<h3>Input files</h3>\n<table>\n";
    h += head_row({"Role", "File", "Size (bytes)", "SHA-256"});
    h += "<tbody>\n";
    for (int i = 0; i < 4; ++i) {
        const InputFile& f = p.inputs[static_cast<size_t>(i)];
        const std::string hash = f.sha256.empty()
                                     ? "<span class=\"null\">not available</span>"
                                     : "<code class=\"hash\">" + esc(f.sha256) + "</code>";
        h += row({esc(input_role(p, i)),
                  f.path.empty()
                      ? "<span class=\"null\">not recorded</span>"
                      : esc(f.name) + "<br><code class=\"hash\">" + esc(f.path) + "</code>",
                  std::to_string(f.size), hash});
    }
    h += "</tbody>\n</table>\n<h3>Settings</h3>\n<table>\n<tbody>\n" + setting_rows(p) +
         "</tbody>\n</table>\n";
    h += "<h3>How these results were produced</h3>\n";
    h += p.origin.empty() ? "<p class=\"null\">Not recorded.</p>\n"
                          : "<pre>" + esc(p.origin) + "</pre>\n";
    return h;
}

std::string angle_cell(double angle) {
    return std::isnan(angle) ? "<span class=\"null\">not defined (null axis)</span>"
                             : cformat("%.3f", angle);
}

std::string angles_section(const ResultsSummary& s) {
    const std::string g1 = possessive(s.groups[0].name), g2 = s.groups[1].name;
    std::string h = "<h2 id=\"angles\">Angles between the groups' PLS axes</h2>\n<table>\n";
    std::vector<std::string> head = {
        "PLS axis s",
        esc("Angle between " + g1 + " and " + possessive(g2) + " PLS axis s, block 1 (degrees)"),
        esc(cformat("P(angle ≤ observed) for random directions, block 1 (q = %i)",
                    static_cast<int>(s.q1)))};
    const bool b2 = s.angle2.size() > 0;
    if (b2) {
        head.push_back(esc("Angle between " + g1 + " and " + possessive(g2) +
                           " PLS axis s, block 2 (degrees)"));
        head.push_back(esc(cformat("P(angle ≤ observed) for random directions, block 2 (q = %i)",
                                   static_cast<int>(s.q2))));
    }
    h += head_row(head) + "<tbody>\n";
    for (Index k = 0; k < s.numsvd; ++k) {
        std::vector<std::string> cells = {std::to_string(k + 1), angle_cell(s.angle1(k)),
                                          num(s.p_angle1(k), "%.3g")};
        if (b2) {
            cells.push_back(angle_cell(s.angle2(k)));
            cells.push_back(num(s.p_angle2(k), "%.3g"));
        }
        h += row(cells);
    }
    h += "</tbody>\n</table>\n";
    if (!b2)
        h += "<p>Block-2 axes are not compared between the groups (homology off).</p>\n";
    return h;
}

std::string group_section(const ResultsSummary& s, int gi) {
    const GroupSummary& g = s.groups[static_cast<size_t>(gi)];
    const GroupResult* perm = !s.permutations ? nullptr
                              : gi == 0       ? &s.permutations->results.group1
                                              : &s.permutations->results.group2;
    std::string h =
        "<h3>" + esc(g.name) + cformat(" (%i specimens)</h3>\n<table>\n", static_cast<int>(g.n));
    std::vector<std::string> head = {
        "PLS axis",
        s.landmarks2 ? "Singular value (sum of cross-products, as analysed)"
                     : "Singular value (cross-covariance, divisor n, as analysed)",
        "Singular value (cross-covariance, divisor n − 1)", "% of squared covariance",
        "Correlation of the block scores"};
    if (perm)
        head.push_back("p of the axis (permutations; 95 % interval)");
    h += head_row(head) + "<tbody>\n";
    for (Index k = 0; k < g.sval.size(); ++k) {
        if (g.null_axis[static_cast<size_t>(k)]) {
            h += row({std::to_string(k + 1), "<span class=\"null\">not defined (null axis)</span>",
                      "", "", ""});
            continue;
        }
        std::vector<std::string> cells = {std::to_string(k + 1), cformat("%.6g", g.sval(k)),
                                          cformat("%.6g", g.sval_n1(k)), num(g.percent(k), "%.2f"),
                                          num(g.scor(k), "%.4f")};
        if (perm) {
            const size_t i = static_cast<size_t>(k);
            cells.push_back(i < perm->axes.size() && perm->axes[i].defined
                                ? pval(perm->axes[i].p)
                                : std::string("not defined"));
        }
        h += row(cells);
    }
    h += "</tbody>\n</table>\n<p>";
    h += cformat("r-PLS (correlation of the axis-1 block scores) = %s",
                 num(g.scor(0), "%.4f").c_str());
    if (perm)
        h += cformat(", p = %s", pval(perm->r_p).c_str());
    h += cformat("; RV coefficient = %s", num(g.rv, "%.4f").c_str());
    if (perm)
        h += cformat(", p = %s", pval(perm->rv_p).c_str());
    return h + ".</p>\n";
}

std::string association_section(const ResultsSummary& s) {
    std::string h = "<h2 id=\"association\">Association of the two blocks in each group</h2>\n";
    if (s.permutations) {
        h += cformat(
            "<p>p-values from %i permutations of the rows of block 2 against block 1 in each "
            "group: p = (1 + number of permutations at least as large as the observed value) / "
            "(N + 1), with the 95 %% Clopper–Pearson interval of that estimate (its Monte-Carlo "
            "error) in brackets. Axis 1, r-PLS and RV are tested against no association; axis "
            "k &gt; 1 is tested stepwise, with the first k − 1 observed axes removed from both "
            "blocks, and its p is never below that of axis k − 1.</p>\n",
            s.permutations->results.permutations);
    }
    h += group_section(s, 0) + group_section(s, 1);
    if (s.permutations) {
        const PermutationResults& p = s.permutations->results;
        h += "<h3>Comparison of the strength of integration</h3>\n<p>";
        auto effect = [](const EffectSize& e) {
            return std::isnan(e.Z) ? std::string("not defined")
                                   : cformat("%.3f (Box-Cox lambda = %.3g)", e.Z, e.lambda);
        };
        h += cformat(
            "Effect sizes of r-PLS against its permutation distribution, after a Box-Cox "
            "transformation of the N + 1 values (Adams and Collyer 2016): %s Z = %s, %s Z = %s; ",
            esc(s.groups[0].name).c_str(), effect(p.group1.effect).c_str(),
            esc(s.groups[1].name).c_str(), effect(p.group2.effect).c_str());
        h += std::isnan(p.comparison.z12)
                 ? std::string("their difference is not defined.")
                 : cformat(
                       "their difference z12 = |d1 − d2| / √(s1² + s2²) = %.3f, p (two-sided, "
                       "standard normal) = %s.",
                       p.comparison.z12, pval(p.comparison.p).c_str());
        h += "</p>\n";
    }
    return h;
}

std::string bootstrap_section(const ResultsSummary& s) {
    if (!s.bootstrap)
        return "";
    const BootstrapSummary& b = *s.bootstrap;
    const double pct = 100.0 * static_cast<double>(b.rangepoint) / b.nboots;
    std::string h = "<h2 id=\"bootstrap\">Bootstrap of the angles and correlations</h2>\n";
    h += cformat(
        "<p>Each group was resampled %i times; each replicate draws two resamples of the same "
        "group (with replacement, specimens keeping both blocks) and measures the angle between "
        "their PLS axes. The bound of a group is the %s smallest of its %i replicate angles "
        "(alpha = %g): an observed angle between the groups above both bounds is larger than "
        "resampling one group alone gives.</p>\n",
        b.nboots, ordinal(b.rangepoint).c_str(), b.nboots, b.alpha);
    if (b.alpha_raised)
        h += cformat("<p>The alpha level asked for was below 1 / %i and was raised to %g.</p>\n",
                     b.nboots, b.alpha);
    for (int block = 1; block <= 2; ++block) {
        const std::array<RowVector, 2>& bound = block == 1 ? b.bound1 : b.bound2;
        const RowVector& observed = block == 1 ? s.angle1 : s.angle2;
        if (bound[0].size() == 0)
            continue;
        h += cformat("<h3>Block %i</h3>\n<table>\n", block);
        h += head_row({"PLS axis", "Observed angle between the groups (degrees)",
                       esc(cformat("%s within-group bound at alpha = %g (degrees)",
                                   s.groups[0].name.c_str(), b.alpha)),
                       esc(cformat("%s within-group bound at alpha = %g (degrees)",
                                   s.groups[1].name.c_str(), b.alpha))});
        h += "<tbody>\n";
        const Index axes = std::min<Index>(bound[0].size(), observed.size());
        for (Index k = 0; k < axes; ++k)
            h += row({std::to_string(k + 1), angle_cell(observed(k)), num(bound[0](k)),
                      num(bound[1](k))});
        h += "</tbody>\n</table>\n<p>";
        for (int g = 0; g < 2; ++g) {
            const double v = bound[static_cast<size_t>(g)](0);
            h += std::isnan(v)
                     ? esc(cformat("%s bound on axis 1 is not defined (a replicate had a null "
                                   "axis). ",
                                   possessive(s.groups[static_cast<size_t>(g)].name).c_str()))
                     : esc(cformat("%i of %s %i resampled angles on axis 1 (%.4g %%) were at "
                                   "or below %.3f degrees. ",
                                   static_cast<int>(b.rangepoint),
                                   possessive(s.groups[static_cast<size_t>(g)].name).c_str(),
                                   b.nboots, pct, v));
        }
        h += "</p>\n";
    }
    h += "<h3>Axis-1 correlation of the block scores</h3>\n<ul>\n";
    for (int g = 0; g < 2; ++g) {
        const BootRange& r = b.corr[static_cast<size_t>(g)];
        h += "<li>" +
             esc(cformat("%s observed correlation was %.5f; 95 %% of its bootstrap "
                         "values lay between %.5f and %.5f (standard error %.5f).",
                         possessive(s.groups[static_cast<size_t>(g)].name).c_str(),
                         s.groups[static_cast<size_t>(g)].scor(0), r.low, r.high, r.se)) +
             "</li>\n";
    }
    h += "<li>" +
         esc(cformat("The difference %s − %s, replicate by replicate, had a 95 %% "
                     "range of %.5f to %.5f (smallest %.5f, largest %.5f).",
                     s.groups[0].name.c_str(), s.groups[1].name.c_str(), b.difference.low,
                     b.difference.high, b.difference_min, b.difference_max)) +
         "</li>\n</ul>\n";
    return h;
}

std::string notes_section(const ResultsSummary& s) {
    std::string h = "<h2 id=\"notes\">Notes</h2>\n<ul>\n";
    bool any_null = false;
    for (const GroupSummary& g : s.groups)
        for (bool n : g.null_axis)
            any_null = any_null || n;
    h += any_null ? "<li>Null axes: some singular values are numerically zero (fewer specimens "
                    "than variables). Their axes have no defined direction; no angle, bound or "
                    "p-value is given for them.</li>\n"
                  : "<li>No null axes: every singular value is above the numerical "
                    "tolerance.</li>\n";
    // A resample repeats specimens, so its rank can fall short of the group's: a bound is then
    // missing on an axis whose observed angle exists, and the reader should know why.
    bool bound_missing = false;
    if (s.bootstrap) {
        const std::pair<const std::array<RowVector, 2>*, const RowVector*> blocks[] = {
            {&s.bootstrap->bound1, &s.angle1}, {&s.bootstrap->bound2, &s.angle2}};
        for (const auto& [bounds, angles] : blocks)
            for (const RowVector& b : *bounds)
                for (Index i = 0; i < b.size() && i < angles->size(); ++i)
                    bound_missing =
                        bound_missing || (std::isnan(b(i)) && !std::isnan((*angles)(i)));
    }
    if (bound_missing)
        h += "<li>A bound marked not defined on an axis that has an observed angle: a "
             "bootstrap resample draws specimens with replacement, so it holds fewer distinct "
             "specimens than its group and can have fewer defined axes; where any replicate's "
             "angle is undefined, no bound is given.</li>\n";
    h += "<li>Permutation tests assume that specimens are exchangeable within a group; they test "
         "the association of the two blocks (r-PLS, RV and the singular values against the "
         "complete absence of association).</li>\n";
    h += "<li>The random-direction probability P of an angle assumes that, without any "
         "similarity between the groups, an axis points in a uniformly random direction of the "
         "q-dimensional space; the bootstrap's within-group bounds are the test of whether the "
         "groups' axes differ.</li>\n";
    h += "<li>The bootstrap assumes that the specimens of a group are independent draws from "
         "it; the bound is an order statistic of the replicate angles.</li>\n";
    return h + "</ul>\n";
}

std::string figures_section(const std::vector<ReportFigure>& figures) {
    if (figures.empty())
        return "";
    // Two figures a row, each at about the width it was drawn for (one journal column).
    std::string h = "<h2 id=\"figures\">Figures</h2>\n<div class=\"figures\">\n";
    for (const ReportFigure& f : figures)
        h +=
            "<figure>\n" + f.svg + "\n<figcaption>" + esc(f.caption) + "</figcaption>\n</figure>\n";
    return h + "</div>\n";
}

std::string methods_section(const Provenance& p, const ResultsSummary& s) {
    std::string h = "<h2 id=\"methods\">Methods</h2>\n<p>";
    h += cformat(
        "The landmark configurations (%i landmarks) of block 1 of both groups (%s, n = %i; %s, "
        "n = %i) were superimposed by generalized Procrustes analysis onto their pooled "
        "consensus and expressed as partial-warp and uniform-component scores of a thin-plate "
        "spline on that consensus (Bookstein 1989; Rohlf and Slice 1990). ",
        static_cast<int>(p.landmarks1), esc(p.groups[0]).c_str(), static_cast<int>(p.specimens[0]),
        esc(p.groups[1]).c_str(), static_cast<int>(p.specimens[1]));
    h += p.landmarks2 ? cformat("Block 2 (%i landmarks) was treated in the same way%s. ",
                                static_cast<int>(p.block2_size),
                                p.homology2 ? ", with one consensus for both groups"
                                            : ", each group on its own consensus")
                      : cformat("Block 2 held %i variables, centred within each group. ",
                                static_cast<int>(p.block2_size));
    h += "In each group, a two-block partial least squares analysis (Rohlf and Corti 2000) "
         "decomposed the cross-covariance matrix of the two blocks by a singular value "
         "decomposition, and the angle between the two groups' singular vectors was measured on "
         "each axis. ";
    if (s.permutations)
        h += cformat(
            "The association of the blocks was tested by %i permutations of specimens "
            "within each group (r-PLS and the RV coefficient; Escoufier 1973), and the "
            "strength of integration was compared between the groups by effect sizes "
            "(Adams and Collyer 2016). ",
            s.permutations->results.permutations);
    if (s.bootstrap)
        h += cformat(
            "The variability of the axes within each group was estimated by %i "
            "bootstrap replicates of two resamples per group (Efron and Tibshirani "
            "1993); angles between the groups were compared with the within-group "
            "bounds at alpha = %g. ",
            s.bootstrap->nboots, s.bootstrap->alpha);
    h += esc(cformat("Analyses were run with %s (seed %llu).", p.program.c_str(),
                     static_cast<unsigned long long>(p.seed)));
    h += "</p>\n<h3>References</h3>\n<ul>\n";
    if (s.permutations)
        h += "<li>Adams, D. C. and Collyer, M. L. 2016. On the comparison of the strength of "
             "morphological integration across morphometric datasets. Evolution 70: "
             "2404–2411.</li>\n";
    h += "<li>Bookstein, F. L. 1989. Principal warps: thin-plate splines and the decomposition "
         "of deformations. IEEE Transactions on Pattern Analysis and Machine Intelligence 11: "
         "567–585.</li>\n";
    if (s.bootstrap)
        h += "<li>Efron, B. and Tibshirani, R. J. 1993. An introduction to the bootstrap. "
             "Chapman &amp; Hall, New York.</li>\n";
    if (s.permutations)
        h += "<li>Escoufier, Y. 1973. Le traitement des variables vectorielles. Biometrics 29: "
             "751–760.</li>\n";
    h += "<li>Rohlf, F. J. and Corti, M. 2000. Use of two-block partial least-squares to study "
         "covariation in shape. Systematic Biology 49: 740–753.</li>\n";
    h += "<li>Rohlf, F. J. and Slice, D. 1990. Extensions of the Procrustes method for the "
         "optimal superimposition of landmarks. Systematic Zoology 39: 40–59.</li>\n";
    return h + "</ul>\n";
}

}  // namespace

std::string html_escape(const std::string& text) {
    std::string s;
    for (char c : text) {
        switch (c) {
            case '&':
                s += "&amp;";
                break;
            case '<':
                s += "&lt;";
                break;
            case '>':
                s += "&gt;";
                break;
            case '"':
                s += "&quot;";
                break;
            case '\'':
                s += "&#39;";
                break;
            default:
                s += c;
        }
    }
    return s;
}

namespace {

void insert_after_each(std::string& s, const std::string& mark, const std::string& text) {
    for (size_t at = s.find(mark); at != std::string::npos; at = s.find(mark, at)) {
        at += mark.size();
        s.insert(at, text);
        at += text.size();
    }
}

// Removes ` NAME="..."` and, for "xmlns", ` xmlns:PREFIX="..."` too.
void erase_attributes(std::string& tag, const std::string& name) {
    for (size_t at = tag.find(" " + name); at != std::string::npos; at = tag.find(" " + name, at)) {
        size_t eq = at + 1 + name.size();
        if (name == "xmlns" && eq < tag.size() && tag[eq] == ':')
            eq = tag.find('=', eq);
        if (eq == std::string::npos || eq + 1 >= tag.size() || tag[eq] != '=' ||
            tag[eq + 1] != '"') {
            ++at;
            continue;
        }
        const size_t close = tag.find('"', eq + 2);
        if (close == std::string::npos)
            return;
        tag.erase(at, close + 1 - at);
    }
}

}  // namespace

std::string inline_svg(const std::string& document, const std::string& prefix) {
    const size_t start = document.find("<svg");
    const size_t end = document.rfind("</svg>");
    if (start == std::string::npos || end == std::string::npos || end < start)
        return "";
    std::string s = document.substr(start, end + 6 - start);
    for (size_t c = s.find("<!--"); c != std::string::npos; c = s.find("<!--", c)) {
        const size_t e = s.find("-->", c);
        s.erase(c, e == std::string::npos ? std::string::npos : e + 3 - c);
    }
    // Several figures share one page: their ids, and every reference to them, get a prefix.
    for (const char* mark : {" id=\"", "url(#", "href=\"#"})
        insert_after_each(s, mark, prefix);
    // The root's own size, version and namespaces: the page's style sizes it and the HTML
    // parser puts it in the SVG namespace.
    const size_t root_end = s.find('>');
    std::string root = s.substr(0, root_end);
    for (const char* name : {"width", "height", "version", "baseProfile", "xmlns"})
        erase_attributes(root, name);
    return root + " role=\"img\"" + s.substr(root_end);
}

std::string report_html(const Provenance& p, const ResultsSummary& s,
                        const std::vector<ReportFigure>& figures) {
    const std::string title = "Two-block PLS of " + p.groups[0] + " and " + p.groups[1];
    std::string h = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    h += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    h += "<title>" + esc(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    h += "<h1>" + esc(title) + "</h1>\n";
    h += "<p class=\"meta\">" + esc(p.program + ", " + p.created) + "</p>\n";
    h += provenance_section(p, s) + angles_section(s) + association_section(s) +
         bootstrap_section(s) + notes_section(s) + figures_section(figures) + methods_section(p, s);
    return h + "</body>\n</html>\n";
}

}  // namespace tesvane
