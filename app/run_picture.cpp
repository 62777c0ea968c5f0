#include "app/run_picture.hpp"

#include "app/Tesvane6i.hpp"
#include "platform/error.hpp"

namespace tesvane {

std::string run_picture(AppContext& ctx, HeadlessPlatform& ui, const RunOptions& o,
                        const FigureSaver& save_figure) {
    ui.control("ReqAxisBox").set_value(*o.show);
    ui.control("ShowBox").set_string(o.axis);
    ui.control("DeFormat").set_value(o.deformat);
    ui.control("ExagerationBox").set_string(o.exaggeration);
    ui.control("RangeBox").set_string(o.range);
    if (!o.magnitude.empty()) {
        try {
            const auto [scale, factor] = parse_magnitude(o.magnitude);
            ui.control("ScaleBox").set_value(scale);
            ui.control("ExagerationBox").set_string(factor);
        } catch (const Error& e) {
            return e.what();
        }
    }

    const size_t refusals = ui.refusals();
    const size_t lines = ui.console_lines().size();
    const bool ran = run_action(ctx, "ShowAxis");
    if (ui.refusals() > refusals)
        return ui.messages().back();
    for (size_t i = lines; i < ui.console_lines().size(); ++i) {
        const std::string& l = ui.console_lines()[i];
        if (l.rfind("Error: ", 0) == 0)
            return l.substr(7);
        if (l == "Fell through case on plot")
            return l;
    }
    if (!ran)
        return "the picture could not be drawn";
    if (o.figure.empty())
        return "";
    if (!save_figure)
        return "figures cannot be saved in this build";
    try {
        fig::ExportSize size;
        size.dpi = o.dpi;
        if (!o.size.empty())
            size = fig::parse_export_size(o.size, o.dpi);
        ui.figure().export_size = size;
        save_figure(ui.figure(), o.figure);
    } catch (const std::exception& e) {
        return user_message(e);
    }
    return "";
}

}  // namespace tesvane
