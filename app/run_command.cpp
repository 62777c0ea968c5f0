#include "app/run_command.hpp"

#include <ostream>

#include "app/Tesvane6i.hpp"
#include "app/script_runner.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/scalar.hpp"

namespace tesvane {
namespace {

Matrix stack(const Matrix& a, const Matrix& b) {
    if (a.cols() != b.cols())
        throw Error("the two groups have different numbers of landmarks (" +
                    std::to_string((a.cols() - 1) / 2) + " and " +
                    std::to_string((b.cols() - 1) / 2) + ")");
    Matrix s(a.rows() + b.rows(), a.cols());
    s << a, b;
    return s;
}

// The pooled consensus of two groups' blocks, rounded to four decimals.
Matrix pooled_reference(const Matrix& a, const Matrix& b) {
    Matrix ref = getconsensus(stack(a, b)).reference;
    return ref.unaryExpr([](double v) { return round_half_away(10000.0 * v) / 10000.0; });
}

void print_row(std::ostream& out, const char* label, const Matrix& row) {
    out << label;
    for (Index j = 0; j < row.size(); ++j)
        out << cformat(" %g", row(j));
    out << '\n';
}

void print_scores(std::ostream& out, const char* label, const Matrix& pw) {
    out << cformat("%s: %i specimens x %i scores (%i partial-warp scores, 2 uniform, cs)\n", label,
                   static_cast<int>(pw.rows()), static_cast<int>(pw.cols()),
                   static_cast<int>(pw.cols() - 3));
}

// The shape scores of both groups' landmark blocks on their pooled reference.
void score_blocks(const Session& vars, bool block2_landmarks, std::ostream& out) {
    const Matrix reference1 = pooled_reference(vars.require("data1"), vars.require("data1g"));
    print_row(out, "Block 1 reference:", reference1);
    print_scores(out, "Group 1 block 1",
                 getpw_arbit(reference1, getpsup(vars.require("data1"), reference1)));
    print_scores(out, "Group 2 block 1",
                 getpw_arbit(reference1, getpsup(vars.require("data1g"), reference1)));
    if (!block2_landmarks)
        return;
    const Matrix reference2 = pooled_reference(vars.require("data2"), vars.require("data2g"));
    print_row(out, "Block 2 reference:", reference2);
    print_scores(out, "Group 1 block 2",
                 getpw_arbit(reference2, getpsup(vars.require("data2"), reference2)));
    print_scores(out, "Group 2 block 2",
                 getpw_arbit(reference2, getpsup(vars.require("data2g"), reference2)));
}

}  // namespace

int run_analysis(const RunOptions& o, std::ostream& out, std::ostream& err) {
    HeadlessPlatform ui(&err);
    add_window_controls(ui);
    AppContext ctx(ui);
    register_functions(ctx);
    Tesvane6i_start(ctx);
    ui.control("Morph2").set_value(o.block2_landmarks ? 1 : 0);

    // The same load actions as the buttons, with the files as the dialogs' answers.
    const std::pair<const char*, const std::string*> loads[] = {
        {"LoadG1B1", &o.g1b1}, {"LoadG1B2", &o.g1b2}, {"LoadG2B1", &o.g2b1}, {"LoadG2B2", &o.g2b2}};
    for (const auto& [action, file] : loads) {
        ui.queue(DialogAnswer::file(*file));
        const size_t messages = ui.messages().size();
        if (!run_action(ctx, action) || ui.messages().size() > messages || ui.queued() > 0)
            return 1;
    }
    for (const char* box : {"FileBox1", "FileBox2", "FileBox3", "FileBox4"})
        out << ui.control(box).string() << "\n\n";

    try {
        score_blocks(ctx.vars, o.block2_landmarks, out);
    } catch (const Error& e) {
        err << "tesvane: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace tesvane
