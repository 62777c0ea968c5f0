#include "platform/platform.hpp"

#include <filesystem>

#include "platform/error.hpp"

namespace tesvane {

std::string FileChoice::path() const {
    return (std::filesystem::path(folder) / name).string();
}

Control& Platform::control(const std::string& tag) {
    Control* c = find_control(tag);
    if (!c)
        throw Error("There is no control with the Tag " + tag);
    return *c;
}

}  // namespace tesvane
