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

Matrix scalar(double v) {
    return Matrix::Constant(1, 1, v);
}

Values deformation_outputs(const DeformationResult& r) {
    return Values{r.bigrefdef, r.bigrefdef2, scalar(r.theta)};
}

// The shapes the routines take: configuration rows of k landmarks (2k+1 values, the last the
// centroid size), blocks of n such rows, score rows of 2k-3 values.
Param config_row() {
    return matrix_param("1", "2k+1");
}
Param config_block() {
    return matrix_param("n", "2k+1");
}
Param score_row() {
    return matrix_param("1", "2k-3");
}
Param any_matrix() {
    return matrix_param(">=0", ">=0");
}
Param nonempty_matrix() {
    return matrix_param(">=1", ">=1");
}
Param number_or(double fallback) {
    return optional(number_param(), scalar(fallback));
}
Param integer_or(long long lo, long long hi, double fallback) {
    return optional(integer_param(lo, hi), scalar(fallback));
}
Param text_or(const char* fallback) {
    return optional(text_param(), std::string(fallback));
}
// A landmark number: the routines check it against the landmarks they have.
Param landmark_or(double fallback) {
    return integer_or(1, 1000000, fallback);
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
        ctx.functions.add(name + "_Callback", Signature::any(), 0,
                          [name](AppContext& c, const Values&, int) {
                              c.ui.console(name + " Callback not implemented yet.");
                              return Values{};
                          });
    }
}

void register_geometry(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("dload", {{text_param()}}, 1,
          [](AppContext&, const Values& in, int) { return Values{dload(text_in(in, 0))}; });
    r.add("getconsensus", {{config_block()}}, 2, [](AppContext&, const Values& in, int) {
        Consensus c = getconsensus(matrix_in(in, 0));
        return Values{c.reference, c.superimposed};
    });
    r.add("getpsup", {{config_block(), config_row()}}, 1, [](AppContext&, const Values& in, int) {
        return Values{getpsup(matrix_in(in, 0), matrix_in(in, 1))};
    });
    r.add("getpw_arbit", {{config_row(), config_block()}}, 2,
          [](AppContext&, const Values& in, int) {
              Matrix pw = getpw_arbit(matrix_in(in, 0), matrix_in(in, 1));
              return Values{pw, pw};
          });
    r.add("centsize", {{any_matrix()}}, 1,
          [](AppContext&, const Values& in, int) { return Values{centsize(matrix_in(in, 0))}; });
}

// Specimen IDs given to a writer: a text of one ID a line (as the session keeps them), or
// numbers, one per row; none when left out.
std::vector<std::string> ids_arg(const Values& in, size_t i) {
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
    const Signature writer{{text_param(), nonempty_matrix(), optional(any_param())}};
    r.add("writetps", writer, 0, [](AppContext&, const Values& in, int) {
        writetps(text_in(in, 0), matrix_in(in, 1), ids_arg(in, 2));
        return Values{};
    });
    r.add("writecsv", writer, 0, [](AppContext&, const Values& in, int) {
        writecsv(text_in(in, 0), matrix_in(in, 1), ids_arg(in, 2));
        return Values{};
    });
}

// showpw4template and showpw5 after their forms: npts, plottype, suptype, b1, b2, lineweight,
// linespec, symboltype, aheadspec, rangeexpansion, trimreq, defangle.
std::vector<Param> deformation_settings() {
    return {integer_or(1, 500, 20), integer_or(1, 99, 1), integer_or(0, 3, 2), landmark_or(1),
            landmark_or(2),         number_or(1),         text_or("k"),        text_or("kd"),
            number_or(1),           number_or(1),         number_or(0),        number_or(10)};
}

Signature with_settings(std::vector<Param> forms) {
    for (Param& p : deformation_settings())
        forms.push_back(std::move(p));
    return Signature{std::move(forms)};
}

// The routines behind the deformation displays, callable by name from scripts.
void register_deformation_display(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("eigsort", {{matrix_param("m", "n"), matrix_param("n", "n")}}, 2,
          [](AppContext&, const Values& in, int) {
              SortedEigen e = eigsort(matrix_in(in, 0), matrix_in(in, 1));
              return Values{e.VR, e.DR};
          });
    r.add("reversepwb", {{config_row(), score_row()}}, 1, [](AppContext&, const Values& in, int) {
        return Values{reversepwb(matrix_in(in, 0), matrix_in(in, 1))};
    });
    r.add("reversepwarb", {{config_row(), score_row()}}, 1, [](AppContext&, const Values& in, int) {
        return Values{reversepwarb(matrix_in(in, 0), matrix_in(in, 1))};
    });
    r.add("reversepw6u", {{config_row(), matrix_param("k+3", "2")}}, 1,
          [](AppContext&, const Values& in, int) {
              return Values{reversepw6u(matrix_in(in, 0), matrix_in(in, 1))};
          });
    r.add("UniAxis", {{config_row(), integer_or(1, 2, 1)}}, 1,
          [](AppContext&, const Values& in, int) {
              return Values{UniAxis(matrix_in(in, 0), integer_in(in, 1))};
          });
    r.add("UniArbitrary", {{config_row()}}, 1, [](AppContext&, const Values& in, int) {
        return Values{UniArbitrary(matrix_in(in, 0))};
    });
    const Param clist = matrix_param(">=2", ">=2");
    r.add("templateorient", {{matrix_param("1", "2t+1"), config_row(), config_row(), clist}}, 6,
          [](AppContext&, const Values& in, int) {
              TemplateOrientation o = templateorient(matrix_in(in, 0), matrix_in(in, 1),
                                                     matrix_in(in, 2), matrix_in(in, 3));
              return Values{o.sref,       o.starget,       scalar(o.tx),
                            scalar(o.ty), scalar(o.theta), scalar(o.xscale)};
          });
    // rotationhandler(figh, axh, reference, defangle): there is one figure, so the handles are
    // not read.
    r.add("rotationhandler", {{any_param(), any_param(), config_row(), number_or(10)}}, 2,
          [](AppContext& c, const Values& in, int) {
              RotationResult rot = rotationhandler(c.ui, matrix_in(in, 2), number_in(in, 3));
              return Values{scalar(rot.theta), rot.reference};
          });
    const Param field = matrix_param("m", "n");
    r.add("quiver", {{field, field, field, field}}, 1, [](AppContext& c, const Values& in, int) {
        const QuiverHandles h = quiver(c.ui.figure().axes(), matrix_in(in, 0), matrix_in(in, 1),
                                       matrix_in(in, 2), matrix_in(in, 3));
        Matrix handles(2, 1);
        handles << static_cast<double>(h.shafts), static_cast<double>(h.heads);
        return Values{handles};
    });
    r.add("aheadw", {{number_or(0), number_or(0), number_or(0), number_or(0), number_or(0.01)}}, 0,
          [](AppContext& c, const Values& in, int) {
              aheadw(c.ui.figure().axes(), number_in(in, 0), number_in(in, 1), number_in(in, 2),
                     number_in(in, 3), number_in(in, 4));
              return Values{};
          });
    r.add("basereg", {{config_block(), landmark_or(1), landmark_or(2)}}, 1,
          [](AppContext&, const Values& in, int) {
              return Values{basereg(matrix_in(in, 0), integer_in(in, 1), integer_in(in, 2))};
          });
    r.add("meth3sup", {{config_block()}}, 1,
          [](AppContext&, const Values& in, int) { return Values{meth3sup(matrix_in(in, 0))}; });
    r.add("rftra", {{config_row(), config_row()}}, 1, [](AppContext& c, const Values& in, int) {
        ResistantFit f = rftra(matrix_in(in, 0), matrix_in(in, 1));
        c.ui.console(cformat("%g %g %g %g", f.params(0), f.params(1), f.params(2), f.params(3)));
        return Values{f.fitted};
    });
    r.add("showpw4template",
          with_settings({matrix_param("1", "2t+1"), clist, config_row(), score_row()}), 3,
          [](AppContext& c, const Values& in, int) {
              return deformation_outputs(showpw4template(
                  c.ui, matrix_in(in, 0), matrix_in(in, 1), matrix_in(in, 2), matrix_in(in, 3),
                  integer_in(in, 4), integer_in(in, 5), integer_in(in, 6), integer_in(in, 7),
                  integer_in(in, 8), number_in(in, 9), text_in(in, 10), text_in(in, 11),
                  number_in(in, 12), number_in(in, 13), number_in(in, 14), number_in(in, 15)));
          });
    r.add("showpw5", with_settings({config_row(), score_row()}), 3,
          [](AppContext& c, const Values& in, int) {
              return deformation_outputs(showpw5(
                  c.ui, matrix_in(in, 0), matrix_in(in, 1), integer_in(in, 2), integer_in(in, 3),
                  integer_in(in, 4), integer_in(in, 5), integer_in(in, 6), number_in(in, 7),
                  text_in(in, 8), text_in(in, 9), number_in(in, 10), number_in(in, 11),
                  number_in(in, 12), number_in(in, 13)));
          });
}

void register_display(AppContext& ctx) {
    Registry& r = ctx.functions;
    r.add("showshape", {{nonempty_matrix(), text_or("k.")}}, 1,
          [](AppContext& c, const Values& in, int) {
              return Values{
                  scalar(showshape(c.ui.figure().axes(), matrix_in(in, 0), text_in(in, 1)))};
          });
    r.add("showshape_rot", {{nonempty_matrix(), text_or("k."), optional(number_param())}}, 1,
          [](AppContext& c, const Values& in, int) {
              std::optional<double> theta;
              if (matrix_in(in, 2).size() == 1)
                  theta = number_in(in, 2);
              return Values{scalar(showshape_rot(c.ui, matrix_in(in, 0), text_in(in, 1), theta))};
          });
    r.add("shownonshape", {{nonempty_matrix(), text_or("bo")}}, 0,
          [](AppContext& c, const Values& in, int) {
              shownonshape(c.ui, matrix_in(in, 0), text_in(in, 1));
              return Values{};
          });
    register_deformation_display(ctx);
}

// The name of the function a window callback passes on: the first of any number of inputs.
const std::string& callback_name(const Values& in, const char* fn) {
    if (const std::string* s = std::get_if<std::string>(&in[0]))
        return *s;
    throw Error(std::string(fn) + ": argument 1 must be a text, the name of a function");
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
    r.add("Tesvane6i", Signature::any(), kAnyCount, [](AppContext& c, const Values& in, int) {
        if (in.empty()) {
            Tesvane6i_start(c);
            return Values{};
        }
        const std::string name = callback_name(in, "Tesvane6i");
        Tesvane6i_callback(c, name, Values(in.begin() + 1, in.end()));
        return Values{};
    });
    r.add("Tesvanesw", {{text_param()}}, 0, [](AppContext& c, const Values& in, int) {
        Tesvanesw(c, text_in(in, 0));
        return Values{};
    });
    r.add("AuxBox", Signature::any(), 1, [](AppContext& c, const Values& in, int) {
        if (in.empty()) {
            c.ui.open_results_window();
            return Values{};
        }
        Tesvane6i_callback(c, callback_name(in, "AuxBox"), Values(in.begin() + 1, in.end()));
        return Values{};
    });
    r.add("AuxBoxsw", {}, 0, [](AppContext& c, const Values&, int) {
        AuxBoxsw(c);
        return Values{};
    });
    r.add("RefAngleSetup", {{optional(any_param())}}, 1,
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
    const std::size_t refusals = ctx.ui.refusals();
    try {
        ctx.functions.call(ctx, name, in, 0);
        // A check that stopped the action has told the user in a message box.
        return ctx.ui.refusals() == refusals;
    } catch (const std::exception& e) {
        ctx.ui.console("Error: " + user_message(e));
    } catch (...) {
        ctx.ui.console("Error: an unknown failure ended the action");
    }
    return false;
}

}  // namespace tesvane
