#include "app/Tesvane6i.hpp"

#include <exception>

#include "app/AuxBox.hpp"
#include "app/Tesvanesw.hpp"
#include "display/UniArbitrary.hpp"
#include "display/UniAxis.hpp"
#include "display/aheadw.hpp"
#include "display/basereg.hpp"
#include "display/eigsort.hpp"
#include "display/meth3sup.hpp"
#include "display/quiver.hpp"
#include "display/reversepw6u.hpp"
#include "display/reversepwarb.hpp"
#include "display/reversepwb.hpp"
#include "display/rftra.hpp"
#include "display/rotationhandler.hpp"
#include "display/showpw4template.hpp"
#include "display/showpw5.hpp"
#include "display/showshape.hpp"
#include "display/templateorient.hpp"
#include "figure/register_figure_commands.hpp"
#include "geometry/centsize.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "io/RefAngleSetup.hpp"
#include "io/csv_write.hpp"
#include "io/dload.hpp"
#include "io/landmark_file_common.hpp"
#include "io/tps_write.hpp"
#include "platform/cformat.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

const Matrix& matrix_arg(const Values& in, size_t i, const char* fn) {
    if (i >= in.size())
        throw Error(std::string("Not enough input arguments to ") + fn);
    if (const Matrix* m = std::get_if<Matrix>(&in[i]))
        return *m;
    throw Error(std::string(fn) + ": input " + std::to_string(i + 1) + " must be numbers");
}

std::string text_arg(const Values& in, size_t i, const char* fn) {
    if (i >= in.size())
        throw Error(std::string("Not enough input arguments to ") + fn);
    if (const std::string* s = std::get_if<std::string>(&in[i]))
        return *s;
    throw Error(std::string(fn) + ": input " + std::to_string(i + 1) + " must be a text");
}

// A number input, or `fallback` when the caller left it out.
double number_arg(const Values& in, size_t i, const char* fn, double fallback) {
    return i < in.size() ? matrix_arg(in, i, fn)(0, 0) : fallback;
}

std::string text_or(const Values& in, size_t i, const char* fn, const char* fallback) {
    return i < in.size() ? text_arg(in, i, fn) : std::string(fallback);
}

Matrix scalar(double v) {
    return Matrix::Constant(1, 1, v);
}

Values deformation_outputs(const DeformationResult& r) {
    return Values{r.bigrefdef, r.bigrefdef2, scalar(r.theta)};
}

// The controls whose generated callbacks were never filled in.
const char* const kStubControls[] = {
    "edit1",       "edit2",       "edit3",       "edit4",       "edit5",       "edit6",
    "edit7",       "edit8",       "pushbutton1", "pushbutton2", "pushbutton3", "pushbutton4",
    "pushbutton5", "pushbutton6", "pushbutton7", "pushbutton8", "pushbutton9", "radiobutton1",
    "listbox1",    "listbox2",    "BaseBox1",    "BaseBox2",    "AuxResults",
};

void register_stubs(AppContext& ctx) {
    for (const char* control : kStubControls) {
        const std::string name = control;
        ctx.functions.add(name + "_Callback", kAnyCount, 0,
                          [name](AppContext& c, const Values&, int) {
                              c.ui.console(name + " Callback not implemented yet.");
                              return Values{};
                          });
    }
}

void register_geometry(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("dload", 1, 1, [](AppContext&, const Values& in, int) {
        return Values{dload(text_arg(in, 0, "dload"))};
    });
    r.add("getconsensus", 1, 2, [](AppContext&, const Values& in, int) {
        Consensus c = getconsensus(matrix_arg(in, 0, "getconsensus"));
        return Values{c.reference, c.superimposed};
    });
    r.add("getpsup", 2, 1, [](AppContext&, const Values& in, int) {
        return Values{getpsup(matrix_arg(in, 0, "getpsup"), matrix_arg(in, 1, "getpsup"))};
    });
    r.add("getpw_arbit", 2, 2, [](AppContext&, const Values& in, int) {
        Matrix pw = getpw_arbit(matrix_arg(in, 0, "getpw_arbit"), matrix_arg(in, 1, "getpw_arbit"));
        return Values{pw, pw};
    });
    r.add("centsize", 1, 1, [](AppContext&, const Values& in, int) {
        return Values{centsize(matrix_arg(in, 0, "centsize"))};
    });
}

// Specimen IDs given to a writer: a text of one ID a line (as the session keeps them), or
// numbers, one per row.
std::vector<std::string> ids_arg(const Values& in, size_t i) {
    if (i >= in.size())
        return {};
    if (const std::string* s = std::get_if<std::string>(&in[i]))
        return split_ids(*s);
    std::vector<std::string> ids;
    for (const double v : std::get<Matrix>(in[i]).reshaped())
        ids.push_back(cformat("%g", v));
    return ids;
}

// writetps(path, rows[, ids]) and writecsv(path, rows[, ids]): blocks such as data1 or pw1
// written for other programs.
void register_writers(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("writetps", 3, 0, [](AppContext&, const Values& in, int) {
        writetps(text_arg(in, 0, "writetps"), matrix_arg(in, 1, "writetps"), ids_arg(in, 2));
        return Values{};
    });
    r.add("writecsv", 3, 0, [](AppContext&, const Values& in, int) {
        writecsv(text_arg(in, 0, "writecsv"), matrix_arg(in, 1, "writecsv"), ids_arg(in, 2));
        return Values{};
    });
}

// The routines behind the deformation displays, callable by name from scripts.
void register_deformation_display(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("eigsort", 2, 2, [](AppContext&, const Values& in, int) {
        SortedEigen e = eigsort(matrix_arg(in, 0, "eigsort"), matrix_arg(in, 1, "eigsort"));
        return Values{e.VR, e.DR};
    });
    r.add("reversepwb", 2, 1, [](AppContext&, const Values& in, int) {
        return Values{reversepwb(matrix_arg(in, 0, "reversepwb"), matrix_arg(in, 1, "reversepwb"))};
    });
    r.add("reversepwarb", 2, 1, [](AppContext&, const Values& in, int) {
        return Values{
            reversepwarb(matrix_arg(in, 0, "reversepwarb"), matrix_arg(in, 1, "reversepwarb"))};
    });
    r.add("reversepw6u", 2, 1, [](AppContext&, const Values& in, int) {
        return Values{
            reversepw6u(matrix_arg(in, 0, "reversepw6u"), matrix_arg(in, 1, "reversepw6u"))};
    });
    r.add("UniAxis", 2, 1, [](AppContext&, const Values& in, int) {
        return Values{UniAxis(matrix_arg(in, 0, "UniAxis"),
                              static_cast<int>(number_arg(in, 1, "UniAxis", 1)))};
    });
    r.add("UniArbitrary", 1, 1, [](AppContext&, const Values& in, int) {
        return Values{UniArbitrary(matrix_arg(in, 0, "UniArbitrary"))};
    });
    r.add("templateorient", 4, 6, [](AppContext&, const Values& in, int) {
        const char* fn = "templateorient";
        TemplateOrientation o = templateorient(matrix_arg(in, 0, fn), matrix_arg(in, 1, fn),
                                               matrix_arg(in, 2, fn), matrix_arg(in, 3, fn));
        return Values{o.sref,       o.starget,       scalar(o.tx),
                      scalar(o.ty), scalar(o.theta), scalar(o.xscale)};
    });
    // rotationhandler(figh, axh, reference, defangle): there is one figure, so the handles are
    // not read.
    r.add("rotationhandler", 4, 2, [](AppContext& c, const Values& in, int) {
        const char* fn = "rotationhandler";
        RotationResult rot =
            rotationhandler(c.ui, matrix_arg(in, 2, fn), number_arg(in, 3, fn, 10));
        return Values{scalar(rot.theta), rot.reference};
    });
    r.add("quiver", 4, 1, [](AppContext& c, const Values& in, int) {
        const char* fn = "quiver";
        const QuiverHandles h =
            quiver(c.ui.figure().axes(), matrix_arg(in, 0, fn), matrix_arg(in, 1, fn),
                   matrix_arg(in, 2, fn), matrix_arg(in, 3, fn));
        Matrix handles(2, 1);
        handles << static_cast<double>(h.shafts), static_cast<double>(h.heads);
        return Values{handles};
    });
    r.add("aheadw", 5, 0, [](AppContext& c, const Values& in, int) {
        const char* fn = "aheadw";
        aheadw(c.ui.figure().axes(), number_arg(in, 0, fn, 0), number_arg(in, 1, fn, 0),
               number_arg(in, 2, fn, 0), number_arg(in, 3, fn, 0), number_arg(in, 4, fn, 0.01));
        return Values{};
    });
    r.add("basereg", 3, 1, [](AppContext&, const Values& in, int) {
        const char* fn = "basereg";
        return Values{basereg(matrix_arg(in, 0, fn), static_cast<int>(number_arg(in, 1, fn, 1)),
                              static_cast<int>(number_arg(in, 2, fn, 2)))};
    });
    r.add("meth3sup", 1, 1, [](AppContext&, const Values& in, int) {
        return Values{meth3sup(matrix_arg(in, 0, "meth3sup"))};
    });
    r.add("rftra", 2, 1, [](AppContext& c, const Values& in, int) {
        ResistantFit f = rftra(matrix_arg(in, 0, "rftra"), matrix_arg(in, 1, "rftra"));
        c.ui.console(cformat("%g %g %g %g", f.params(0), f.params(1), f.params(2), f.params(3)));
        return Values{f.fitted};
    });
    r.add("showpw4template", 16, 3, [](AppContext& c, const Values& in, int) {
        const char* fn = "showpw4template";
        auto n = [&](size_t i, double d) { return number_arg(in, i, fn, d); };
        return deformation_outputs(showpw4template(
            c.ui, matrix_arg(in, 0, fn), matrix_arg(in, 1, fn), matrix_arg(in, 2, fn),
            matrix_arg(in, 3, fn), static_cast<int>(n(4, 20)), static_cast<int>(n(5, 1)),
            static_cast<int>(n(6, 2)), static_cast<int>(n(7, 1)), static_cast<int>(n(8, 2)),
            n(9, 1), text_or(in, 10, fn, "k"), text_or(in, 11, fn, "kd"), n(12, 1), n(13, 1),
            n(14, 0), n(15, 10)));
    });
    r.add("showpw5", 14, 3, [](AppContext& c, const Values& in, int) {
        const char* fn = "showpw5";
        auto n = [&](size_t i, double d) { return number_arg(in, i, fn, d); };
        return deformation_outputs(
            showpw5(c.ui, matrix_arg(in, 0, fn), matrix_arg(in, 1, fn), static_cast<int>(n(2, 20)),
                    static_cast<int>(n(3, 1)), static_cast<int>(n(4, 2)), static_cast<int>(n(5, 1)),
                    static_cast<int>(n(6, 2)), n(7, 1), text_or(in, 8, fn, "k"),
                    text_or(in, 9, fn, "kd"), n(10, 1), n(11, 1), n(12, 0), n(13, 10)));
    });
}

void register_display(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("showshape", 2, 1, [](AppContext& c, const Values& in, int) {
        const std::string style = in.size() > 1 ? text_arg(in, 1, "showshape") : "k.";
        return Values{Matrix::Constant(
            1, 1, showshape(c.ui.figure().axes(), matrix_arg(in, 0, "showshape"), style))};
    });
    r.add("showshape_rot", 3, 1, [](AppContext& c, const Values& in, int) {
        const std::string style = in.size() > 1 ? text_arg(in, 1, "showshape_rot") : "k.";
        std::optional<double> theta;
        if (in.size() > 2)
            theta = matrix_arg(in, 2, "showshape_rot")(0, 0);
        return Values{Matrix::Constant(
            1, 1, showshape_rot(c.ui, matrix_arg(in, 0, "showshape_rot"), style, theta))};
    });
    r.add("shownonshape", 2, 0, [](AppContext& c, const Values& in, int) {
        const std::string style = in.size() > 1 ? text_arg(in, 1, "shownonshape") : "bo";
        shownonshape(c.ui, matrix_arg(in, 0, "shownonshape"), style);
        return Values{};
    });
    register_deformation_display(ctx);
}

}  // namespace

bool is_stub_callback(const std::string& control) {
    for (const char* c : kStubControls)
        if (control == c)
            return true;
    return false;
}

void register_functions(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("Tesvane6i", kAnyCount, kAnyCount, [](AppContext& c, const Values& in, int) {
        if (in.empty()) {
            Tesvane6i_start(c);
            return Values{};
        }
        const std::string name = text_arg(in, 0, "Tesvane6i");
        Tesvane6i_callback(c, name, Values(in.begin() + 1, in.end()));
        return Values{};
    });
    r.add("Tesvanesw", 1, 0, [](AppContext& c, const Values& in, int) {
        Tesvanesw(c, text_arg(in, 0, "Tesvanesw"));
        return Values{};
    });
    r.add("AuxBox", kAnyCount, 1, [](AppContext& c, const Values& in, int) {
        if (in.empty()) {
            c.ui.open_results_window();
            return Values{};
        }
        Tesvane6i_callback(c, text_arg(in, 0, "AuxBox"), Values(in.begin() + 1, in.end()));
        return Values{};
    });
    r.add("AuxBoxsw", 0, 0, [](AppContext& c, const Values&, int) {
        AuxBoxsw(c);
        return Values{};
    });
    r.add("RefAngleSetup", 1, 1,
          [](AppContext& c, const Values&, int) { return Values{RefAngleSetup(c.ui)}; });
    register_stubs(ctx);
    register_geometry(ctx);
    register_writers(ctx);
    register_display(ctx);
    register_figure_commands(ctx);
}

void Tesvane6i_start(AppContext& ctx) {
    ctx.ui.open_results_window();
    RefAngleSetup(ctx.ui);
}

bool Tesvane6i_callback(AppContext& ctx, const std::string& name, const Values& in) {
    try {
        ctx.functions.call(ctx, name, in, 0);
        return true;
    } catch (const std::exception& e) {
        ctx.ui.console(std::string("Error: ") + e.what());
    } catch (...) {
        ctx.ui.console("Error: an unknown failure ended the action");
    }
    return false;
}

}  // namespace tesvane
