#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "app/qt_module.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace fs = std::filesystem;

std::vector<std::string> qt_module_candidates(const std::string& executable_dir) {
    const fs::path dir(executable_dir);
    return {(dir / kQtModuleFile).string(),
            (dir / TESVANE_MODULE_DIR_FROM_BIN / kQtModuleFile).lexically_normal().string()};
}

namespace {

const QtModule& open_qt_module() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const std::vector<std::string> places = qt_module_candidates(exe.parent_path().string());
    for (const std::string& place : places) {
        if (!fs::exists(place, ec))
            continue;
        void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw Error(std::string("cannot open ") + place + ": " + dlerror());
        using Entry = const QtModule* (*)();
        auto entry = reinterpret_cast<Entry>(dlsym(handle, kQtModuleEntry));
        const QtModule* m = entry ? entry() : nullptr;
        if (!m || m->abi != kQtModuleAbi)
            throw Error(place + " is not the module of this tesvane build; reinstall tesvane");
        return *m;
    }
    std::string looked;
    for (const std::string& place : places)
        looked += (looked.empty() ? "" : " or ") + place;
    throw Error(std::string("the windows and figures need ") + kQtModuleFile +
                ", which is missing (looked for " + looked + "); reinstall tesvane");
}

}  // namespace

const QtModule& qt_module() {
    static const QtModule& module = open_qt_module();
    return module;
}

}  // namespace tesvane
