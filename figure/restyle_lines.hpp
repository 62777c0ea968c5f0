// The loop the restyling commands share: the direct children of an axes in the order the
// platform lists them, those whose Type begins with "l" handed on as lines.
#pragma once

#include <string>

#include "platform/error.hpp"
#include "platform/figure/figure_model.hpp"

namespace tesvane {

// A child whose Type begins with "l" but that has no line properties ends the loop with an
// Error naming `property`; the children before it keep their changes. Viewers are told either
// way.
template <class Change>
void restyle_lines(fig::Axes& axes, const std::string& command, const std::string& property,
                   Change change) {
    try {
        for (fig::Object* child : axes.children()) {
            const std::string type = child->type();
            if (type.empty() || type[0] != 'l')
                continue;
            auto* line = dynamic_cast<fig::Line*>(child);
            if (!line) {
                throw Error(command + ": a child of type \"" + type + "\" has no " + property +
                            " property");
            }
            change(*line);
        }
    } catch (...) {
        axes.refresh();
        throw;
    }
    axes.refresh();
}

}  // namespace tesvane
