#include "app/Tesvane6i.hpp"

#include <exception>

#include "app/AuxBox.hpp"
#include "app/Tesvanesw.hpp"
#include "display/showshape.hpp"
#include "figure/register_figure_commands.hpp"
#include "geometry/centsize.hpp"
#include "geometry/getconsensus.hpp"
#include "geometry/getpsup.hpp"
#include "geometry/getpw_arbit.hpp"
#include "io/RefAngleSetup.hpp"
#include "io/dload.hpp"
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
