#include "app/report_export.hpp"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "analysis/BootSVD2Angle.hpp"
#include "app/controls.hpp"
#include "app/provenance.hpp"
#include "app/results_summary.hpp"
#include "app/session_recorder.hpp"
#include "display/ShowAxis.hpp"
#include "io/atomic_file.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace fs = std::filesystem;

namespace tesvane {
namespace {

// Puts the display controls back however the report ends.
class DisplayControlsScope {
  public:
    explicit DisplayControlsScope(Platform& ui) : ui_(ui) {
        for (const char* tag : kTags) {
            if (Control* c = ui.find_control(tag))
                saved_.push_back({tag, c->string(), c->value()});
        }
    }
    ~DisplayControlsScope() {
        for (const Saved& s : saved_) {
            if (Control* c = ui_.find_control(s.tag)) {
                c->set_string(s.string);
                c->set_value(s.value);
            }
        }
    }

  private:
    static constexpr const char* kTags[] = {"ReqAxisBox", "ShowBox", "RotateRequest",
                                            "ExagerationBox"};
    struct Saved {
        const char* tag;
        std::string string;
        double value;
    };
    Platform& ui_;
    std::vector<Saved> saved_;
};

std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The current figure as an SVG document, through the platform's writer.
std::string current_figure_svg(Platform& ui) {
    static int count = 0;
    const fs::path temp = fs::temp_directory_path() / cformat("tesvane-report-%ld-%d.svg",
                                                              static_cast<long>(getpid()), ++count);
    struct Remove {
        fs::path p;
        ~Remove() {
            std::error_code ec;
            fs::remove(p, ec);
        }
    } remove{temp};
    ui.save_figure_file(temp.string(), "svg");
    return read_text(temp);
}

std::string deformation_name(Platform& ui) {
    const Control* d = ui.find_control("DeFormat");
    const std::vector<std::string>& names = deformation_type_names();
    const int type = d ? static_cast<int>(d->value()) : 1;
    return type >= 1 && type <= static_cast<int>(names.size())
               ? names[static_cast<size_t>(type - 1)]
               : std::string("Deformation");
}

// The axis-1 score of largest magnitude, with its sign, among the centred scores of `name`:
// drawn with it as the factor, the picture shows the most extreme specimen's position on the
// axis. Not-a-number without scores.
double extreme_score(const Session& v, const std::string& name) {
    const Matrix& m = v.matrix(name);
    if (m.rows() == 0 || m.cols() == 0)
        return std::numeric_limits<double>::quiet_NaN();
    const ColVector c = m.col(0).array() - m.col(0).mean();
    Index at = 0;
    c.cwiseAbs().maxCoeff(&at);
    return c(at);
}

struct ReportPlot {
    int type;
    std::string caption;
    const char* scores;  // the block scores whose extreme sets the factor, or none
};

}  // namespace

std::vector<ReportFigure> report_figures(AppContext& ctx) {
    const std::array<std::string, 2> names = group_names(ctx);
    const bool landmarks2 = ctx.vars.flag("activem2");
    const std::string drawn = deformation_name(ctx.ui);
    const std::vector<ReportPlot> plots = {
        {25, "Block-1 against block-2 scores on PLS axis 1, both groups.", nullptr},
        {3, "PLS axis 1, block 1, " + names[0], "swc1"},
        {4, "PLS axis 1, block 1, " + names[1], "swc1g"},
        {5, "PLS axis 1, block 2, " + names[0], landmarks2 ? "swc2" : nullptr},
        {6, "PLS axis 1, block 2, " + names[1], landmarks2 ? "swc2g" : nullptr},
    };
    std::vector<ReportFigure> figures;
    const DisplayControlsScope keep(ctx.ui);
    // The report's own caption under each figure says what it shows; the picture's caption
    // line would say it a second time, in other words and with other digits.
    struct CaptionOff {
        fig::Figure& f;
        bool was;
        explicit CaptionOff(fig::Figure& figure) : f(figure), was(figure.show_caption) {
            f.show_caption = false;
        }
        ~CaptionOff() { f.show_caption = was; }
        CaptionOff(const CaptionOff&) = delete;
        CaptionOff& operator=(const CaptionOff&) = delete;
    } caption_off(ctx.ui.figure());
    // Interactive rotation would wait for clicks in the middle of writing a file.
    if (Control* rotate = ctx.ui.find_control("RotateRequest"))
        rotate->set_value(0);
    for (const ReportPlot& plot : plots) {
        std::string caption = plot.caption;
        try {
            ctx.ui.control("ReqAxisBox").set_value(plot.type);
            ctx.ui.control("ShowBox").set_string("1");
            if (plot.type != 25 && !plot.scores)
                caption += ": loadings of the variables.";
            if (plot.scores) {
                const double f = extreme_score(ctx.vars, plot.scores);
                if (std::isnan(f))
                    throw Error(std::string("no scores in ") + plot.scores);
                ctx.ui.control("ExagerationBox").set_string(cformat("%.17g", f));
                caption += cformat(
                    ": %s of the reference to the most extreme observed score "
                    "on the axis (%.4g).",
                    drawn.c_str(), f);
            }
            ShowAxis(ctx);
            std::string svg =
                inline_svg(current_figure_svg(ctx.ui), cformat("f%zu-", figures.size() + 1));
            if (svg.empty())
                throw Error("the figure writer gave no SVG");
            // The figure's own title is what a screen reader announces.
            const size_t t = svg.find("<title>"), te = svg.find("</title>");
            if (t != std::string::npos && te != std::string::npos && te > t)
                svg.replace(t + 7, te - t - 7, html_escape(caption));
            figures.push_back({caption, svg});
        } catch (const std::exception& e) {
            ctx.ui.console(cformat("The report leaves out plot type %i: %s", plot.type, e.what()));
        }
    }
    return figures;
}

std::string session_report(AppContext& ctx, const std::string& report_path) {
    const AnalysisRecord& record = analysis_record(ctx);
    const ResultsSummary summary = summarise_results(ctx, record);
    Provenance p = collect_provenance(summary, record, ctx.resampling.seed, ctx.resampling.threads);
    // In the windows the session so far is the record of how the results were made.
    if (auto* recorder = dynamic_cast<SessionRecorder*>(&ctx.ui)) {
        try {
            p.origin =
                "Recorded session (tesvane script; paths relative to the report's "
                "folder):\n" +
                recorder->script(report_path + ".tvs");
        } catch (const Error& e) {
            p.origin = std::string("The session could not be written as a script: ") + e.what();
        }
    }
    return report_html(p, summary, report_figures(ctx));
}

void export_report(AppContext& ctx) {
    for (const char* name : {"sbee2", "sbee2g"}) {
        if (!ctx.vars.empty(name))
            continue;
        const std::string msg = std::string("Nothing to report: ") + name +
                                " is empty (load the data and run the analysis first)";
        ctx.ui.message_box(msg);
        ctx.ui.console(msg);
        return;
    }
    const std::optional<FileChoice> choice = ctx.ui.save_file_dialog("Export report", "*.html");
    if (!choice)
        return;
    std::error_code ec;
    fs::current_path(choice->folder, ec);
    try {
        write_file_atomically(choice->path(), session_report(ctx, choice->path()));
    } catch (const Error& e) {
        ctx.ui.message_box(e.what());
        ctx.ui.console(e.what());
    }
}

}  // namespace tesvane
