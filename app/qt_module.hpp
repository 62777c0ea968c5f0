// The windows and the figure renderer live in a module, tesvane-qt.so, that the executable opens
// only when it needs them: the commands without windows then start without loading Qt or cairo.
#pragma once

#include <string>
#include <vector>

#include "platform/figure/figure_model.hpp"

namespace tesvane {

// What the module offers. Both sides are built from this header; `abi` guards against a module
// left over from another build.
struct QtModule {
    int abi;
    // The windowed program until its last window closes; returns the exit code.
    int (*run_gui)(int argc, char** argv);
    // Writes the figure (type after the extension); false with the reason in `error` on failure.
    bool (*save_figure)(const fig::Figure& f, const std::string& path, std::string& error);
};
inline constexpr int kQtModuleAbi = 1;
inline constexpr const char* kQtModuleFile = "tesvane-qt.so";
inline constexpr const char* kQtModuleEntry = "tesvane_qt_module";

// Where the module is looked for, in order: beside the executable (the build tree), then in
// the library folder of an installed tree.
std::vector<std::string> qt_module_candidates(const std::string& executable_dir);

// Opens the module on first use. Throws tesvane::Error naming the places searched when it is
// missing, or the loader's reason when it cannot be opened.
const QtModule& qt_module();

}  // namespace tesvane
