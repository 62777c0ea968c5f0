#include "platform/group_names.hpp"

#include <cctype>
#include <filesystem>

namespace tesvane {
namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string name_from_file(const std::string& file_name) {
    std::string stem = std::filesystem::path(file_name).stem().string();
    const std::string l = lower(stem);
    for (const char* mark : {"block1", "block2", "b1", "b2"}) {
        const std::string m = mark;
        if (l.size() > m.size() && l.compare(l.size() - m.size(), m.size(), m) == 0) {
            const char before = stem[stem.size() - m.size() - 1];
            if (before == '_' || before == '-' || before == ' ' || before == '.') {
                stem.resize(stem.size() - m.size() - 1);
                break;
            }
        }
    }
    return trimmed(stem);
}

namespace {

// The name a group's files give it (block 1's, else block 2's); empty when they give none.
std::string name_from_files(const Session& vars, int g) {
    for (const char* variable : kBlockFileVariables[g]) {
        const SessionValue* value = vars.find(variable);
        if (!value)
            continue;
        if (const std::string* file = std::get_if<std::string>(value)) {
            const std::string name = name_from_file(*file);
            if (!name.empty())
                return name;
        }
    }
    return "";
}

}  // namespace

std::string group_name(AppContext& ctx, int group) {
    const int g = group == 2 ? 1 : 0;
    if (const Control* c = ctx.ui.find_control(g == 0 ? "GroupName1" : "GroupName2")) {
        const std::string typed = trimmed(c->string());
        if (!typed.empty())
            return typed;
    }
    // Two groups loaded from files of one name would be told apart by nothing.
    const std::string own = name_from_files(ctx.vars, g);
    if (!own.empty() && own != name_from_files(ctx.vars, 1 - g))
        return own;
    return g == 0 ? "Group 1" : "Group 2";
}

}  // namespace tesvane
