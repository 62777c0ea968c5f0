#include "app/load_actions.hpp"

#include <filesystem>

#include "analysis/analysis_record.hpp"
#include "platform/group_names.hpp"

#include "display/showshape.hpp"
#include "display/templateorient.hpp"
#include "geometry/getconsensus.hpp"
#include "io/landmark_file_common.hpp"
#include "io/mfload.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/session_variables.hpp"

namespace tesvane {
namespace {

double rows(const Matrix& m) {
    return static_cast<double>(m.rows());
}
double landmarks(const Matrix& m) {
    return static_cast<double>(m.cols() - 1) / 2;
}

// Asks for a file and reads it. Nothing when the user cancels, or when the file cannot be
// opened or parsed: the user is told and the session keeps what it had.
template <class Read>
std::optional<LoadedFile> ask_and_read_with(AppContext& ctx, Read read) {
    std::optional<LoadedFile> f;
    try {
        f = read();
    } catch (const DataFileError& e) {
        ctx.ui.message_box(e.what());
        ctx.ui.console(e.what());
        return std::nullopt;
    }
    if (f && is_unreadable(f->data)) {
        const std::string msg = "Cannot open the file " + f->path;
        ctx.ui.message_box(msg);
        ctx.ui.console(msg);
        return std::nullopt;
    }
    return f;
}

std::optional<LoadedFile> ask_and_read(AppContext& ctx, const std::string& title) {
    return ask_and_read_with(ctx, [&] { return mfload3(ctx.ui, title); });
}

bool ticked(Platform& ui, const char* tag) {
    const Control* c = ui.find_control(tag);
    return c != nullptr && c->value() == 1;
}

// A block file in any of the data formats; the two TPS conventions are the user's choice.
std::optional<LoadedFile> ask_and_read_block(AppContext& ctx, bool landmarks) {
    TpsOptions tps;
    tps.negative_means_missing = ticked(ctx.ui, "TpsMissingButton");
    tps.curves_as_landmarks = ticked(ctx.ui, "TpsCurvesButton");
    return ask_and_read_with(ctx, [&] { return mfload_block(ctx.ui, landmarks, tps); });
}

// The IDs of the block just loaded, or none: an earlier file's IDs must not outlive it.
void store_ids(Session& vars, const std::string& name, const LoadedFile& f) {
    if (f.ids.empty())
        vars.clear(name);
    else
        vars.set(name, join_ids(f.ids));
}

// The file's record for the report: what was read, with its digest.
InputFile input_file(const LoadedFile& f) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(f.path, ec).lexically_normal();
    // The digest of the bytes the block was read from: the file is not read a second time
    // (a pipe could not be).
    return InputFile{ec ? f.path : full.string(), f.name, f.digest.size, f.digest.sha256};
}

// A landmark block must hold x, y pairs and a centroid size: 2k+1 numbers a line.
bool check_landmark_block(AppContext& ctx, const LoadedFile& f) {
    if (f.data.cols() % 2 == 1 && f.data.cols() >= 3)
        return true;
    const std::string msg =
        cformat("%s: a landmark file needs 2k+1 numbers a line (x1 y1 ... xk yk cs); it has %i",
                f.path.c_str(), static_cast<int>(f.data.cols()));
    ctx.ui.message_box(msg);
    ctx.ui.console(msg);
    return false;
}

void set_display_defaults(Session& vars, bool all_eight) {
    vars.set("vplotdensity", 20.0);
    vars.set("vlinewidth", 1.5);
    vars.set("vlineformat1", std::string("k-"));
    vars.set("vrefsymbol", std::string("ko"));
    vars.set("vaheads", 1.0);
    if (all_eight) {
        vars.set("vlineformat2", std::string("r-"));
        vars.set("defangle", 10.0);
        vars.set("gridtrim", 0.0);
    }
}

// The block superimposed on its consensus, computed before anything is stored, so that a
// configuration the superimposition rejects leaves the session as it was.
Consensus superimpose(AppContext& ctx, const LoadedFile& f) {
    try {
        return getconsensus(f.data);
    } catch (const Error& e) {
        // Shown like a file that cannot be parsed: the user has to mend the named specimen.
        const std::string msg = f.path + ": " + e.what();
        ctx.ui.message_box(msg);
        throw Error(msg);
    }
}

void plot_block(AppContext& ctx, const Matrix& data, const std::string& symbol,
                const Matrix& reference) {
    ctx.ui.figure().axes().cla();
    showshape_rot(ctx.ui, data, symbol);
    showshape_rot(ctx.ui, reference, "k+");
}

}  // namespace

std::string block1_summary(const std::string& file, const Matrix& data) {
    return cformat("File: %s \n %3.0f Specimens \n %3.0f Landmarks", file.c_str(), rows(data),
                   landmarks(data));
}

std::string block2_landmark_summary(const std::string& file, const Matrix& data) {
    return cformat("Block2-LM \nFile: %s \n %3.0f Specimens \n %3.0f Landmarks", file.c_str(),
                   rows(data), landmarks(data));
}

std::string block2_variable_summary(const std::string& file, const Matrix& data) {
    return cformat("Block2-Not LM \nFile: %s \n %3.0f Specimens \n %3.0f Variables", file.c_str(),
                   rows(data), static_cast<double>(data.cols()));
}

void load_block1(AppContext& ctx, int group) {
    std::optional<LoadedFile> f = ask_and_read_block(ctx, true);
    if (!f || !check_landmark_block(ctx, *f))
        return;
    Consensus c = superimpose(ctx, *f);

    const bool g1 = group == 1;
    const GroupVariables& names = group_variables(group);
    ctx.ui.control(g1 ? "FileBox1" : "FileBox3").set_string(block1_summary(f->name, f->data));
    f->data = Matrix();  // the block as read is not needed beyond this: a large file is held once
    set_display_defaults(ctx.vars, g1);
    ctx.vars.set("referencetype1", 0.0);
    // Moved, not copied: a large block is held once.
    ctx.vars.set(names.data1, std::move(c.superimposed));
    ctx.vars.set(kBlockFileVariables[g1 ? 0 : 1][0], f->name);
    store_ids(ctx.vars, names.ids1, *f);
    analysis_record(ctx).inputs[g1 ? 0 : 2] = input_file(*f);
    // Group 2's own consensus is only shown; the block-1 reference stays group 1's.
    if (g1)
        ctx.vars.set("reference1", c.reference);
    plot_block(ctx, ctx.vars.matrix(names.data1), g1 ? "bo" : "ro", c.reference);
}

void load_block2(AppContext& ctx, int group) {
    const bool g1 = group == 1;
    const GroupVariables& names = group_variables(group);
    const bool landmarks_block = ctx.ui.control("Morph2").value() != 0;
    ctx.vars.set("activem2", landmarks_block ? 1.0 : 0.0);
    const std::optional<LoadedFile> f = ask_and_read_block(ctx, landmarks_block);
    if (!f)
        return;
    Control& box = ctx.ui.control(g1 ? "FileBox2" : "FileBox4");

    if (landmarks_block) {
        if (!check_landmark_block(ctx, *f))
            return;
        const Consensus c = superimpose(ctx, *f);
        box.set_string(block2_landmark_summary(f->name, f->data));
        ctx.vars.set("referencetype2", 0.0);
        ctx.vars.set(names.data2, c.superimposed);
        ctx.vars.set(kBlockFileVariables[g1 ? 0 : 1][1], f->name);
        store_ids(ctx.vars, names.ids2, *f);
        ctx.vars.set(names.reference2, c.reference);
        analysis_record(ctx).inputs[g1 ? 1 : 3] = input_file(*f);
        plot_block(ctx, c.superimposed, g1 ? "bo" : "ro", c.reference);
        return;
    }

    ctx.vars.set(names.data2, f->data);
    ctx.vars.set(kBlockFileVariables[g1 ? 0 : 1][1], f->name);
    store_ids(ctx.vars, names.ids2, *f);
    analysis_record(ctx).inputs[g1 ? 1 : 3] = input_file(*f);
    box.set_string(block2_variable_summary(f->name, f->data));
    fig::Axes& axes = ctx.ui.figure().axes();
    axes.cla();
    axes.set_hold(false);
    shownonshape(ctx.ui, f->data, "b.");
    axes.set_equal(false);
    fig::Limits l = axes.limits();
    axes.set_limits({l[0] - 1, l[1] + 1, l[2], l[3]});
}

void load_templates(AppContext& ctx) {
    static const std::pair<const char*, const char*> dialogs[] = {
        {"Enter Template File for Group1", "templatea"},
        {"Enter Correspondence list for Group 1 block 1", "clist2"},
        {"Enter Correspondence list for Group 1 block 2", "clist2b"},
        {"Enter Template File for Group2", "templateb"},
        {"Enter Correspondence list for Group 2 block 1", "clist4"},
        {"Enter Correspondence list for Group 2 block 2", "clist4b"},
    };
    for (const auto& [title, variable] : dialogs) {
        const std::optional<LoadedFile> f = ask_and_read(ctx, title);
        if (!f)
            return;
        // A correspondence list is checked now, while its file can still be named.
        if (std::string(variable).rfind("clist", 0) == 0) {
            if (const std::string why = correspondence_list_problem(f->data); !why.empty()) {
                const std::string msg = f->path + ": " + why;
                ctx.ui.message_box(msg);
                ctx.ui.console(msg);
                return;
            }
        }
        ctx.vars.set(variable, f->data);
    }
}

}  // namespace tesvane
