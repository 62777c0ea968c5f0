#include "app/scores_csv.hpp"

#include <algorithm>
#include <filesystem>

#include "analysis/two_block_pls.hpp"
#include "app/results_summary.hpp"
#include "io/atomic_file.hpp"
#include "io/landmark_file_common.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/session_variables.hpp"
#include "platform/stats.hpp"

namespace tesvane {
namespace {

std::string quoted(const std::string& text) {
    std::string s = "\"";
    for (char c : text)
        s += c == '"' ? std::string("\"\"") : std::string(1, c);
    return s + "\"";
}

Index axes_of(const SpecimenScores& g) {
    return static_cast<Index>(g.null_axis.size());
}

std::string cell(const Matrix& m, Index row, Index axis, const SpecimenScores& g) {
    if (axis >= axes_of(g) || g.null_axis[static_cast<size_t>(axis)] || axis >= m.cols())
        return "NA";
    return cformat("%.10g", m(row, axis));
}

std::vector<std::string> specimen_ids(const Session& v, const GroupVariables& names, Index n) {
    for (const char* name : {names.ids1, names.ids2}) {
        if (v.empty(name))
            continue;
        std::vector<std::string> ids = split_ids(v.text(name));
        if (static_cast<Index>(ids.size()) == n)
            return ids;
    }
    std::vector<std::string> ids;
    for (Index i = 1; i <= n; ++i)
        ids.push_back(std::to_string(i));
    return ids;
}

}  // namespace

std::string scores_csv(const std::array<SpecimenScores, 2>& groups) {
    const Index axes = std::max(axes_of(groups[0]), axes_of(groups[1]));
    std::string s = "\"group\",\"specimen\"";
    for (int block = 1; block <= 2; ++block)
        for (Index k = 1; k <= axes; ++k)
            s += cformat(",\"block%i_axis%i\"", block, static_cast<int>(k));
    s += "\n";
    for (const SpecimenScores& g : groups) {
        for (Index i = 0; i < g.block1.rows(); ++i) {
            s += quoted(g.name) + "," + quoted(g.ids[static_cast<size_t>(i)]);
            for (const Matrix* m : {&g.block1, &g.block2})
                for (Index k = 0; k < axes; ++k)
                    s += "," + cell(*m, i, k, g);
            s += "\n";
        }
    }
    return s;
}

std::array<SpecimenScores, 2> session_scores(const Session& v,
                                             const std::array<std::string, 2>& names) {
    for (const char* name : {"sbee2", "sbee2g", "swc1", "swc2", "swc1g", "swc2g"}) {
        if (v.empty(name))
            throw Error(std::string("Nothing to save: ") + name +
                        " is empty (load the data and run the analysis first)");
    }
    std::array<SpecimenScores, 2> out;
    for (int gi = 0; gi < 2; ++gi) {
        const GroupVariables& g = group_variables(gi + 1);
        const Matrix& s = v.require(g.sbee2);
        const Matrix& b1 = v.require(g.swc1);
        const Matrix& b2 = v.require(g.swc2);
        if (b1.rows() != b2.rows())
            throw Error("Nothing to save: the block scores of the last analysis do not match");
        SpecimenScores& o = out[static_cast<size_t>(gi)];
        o.name = names[static_cast<size_t>(gi)];
        const Index axes = std::min({s.rows(), s.cols(), b1.cols(), b2.cols()});
        o.block1 = centre_columns(b1.leftCols(axes));
        o.block2 = centre_columns(b2.leftCols(axes));
        for (Index k = 0; k < axes; ++k)
            o.null_axis.push_back(is_null_axis(s, k));
        o.ids = specimen_ids(v, g, b1.rows());
    }
    return out;
}

void save_scores(AppContext& ctx) {
    std::string text;
    try {
        text = scores_csv(session_scores(ctx.vars, group_names(ctx)));
    } catch (const Error& e) {
        ctx.ui.message_box(e.what());
        ctx.ui.console(e.what());
        return;
    }
    const std::optional<FileChoice> choice =
        ctx.ui.save_file_dialog("File Name for PLS Scores (CSV)", "*.csv");
    if (!choice)
        return;
    std::error_code ec;
    std::filesystem::current_path(choice->folder, ec);
    try {
        write_file_atomically(choice->path(), text);
    } catch (const Error& e) {
        ctx.ui.message_box(e.what());
        ctx.ui.console(e.what());
    }
}

}  // namespace tesvane
