#include "platform/plain_words.hpp"

#include <cctype>
#include <map>

namespace tesvane {
namespace {

// Block and group of a variable named by the usual scheme: a block digit, a trailing `g` for
// group 2 (Vm…c / Vm…g: c is group 1).
std::string block_and_group(const std::string& name) {
    const size_t digit = name.find_first_of("12");
    const std::string block = digit == std::string::npos ? "1" : name.substr(digit, 1);
    const bool g2 = !name.empty() && name.back() == 'g';
    return "block " + block + ", group " + (g2 ? "2" : "1");
}

bool starts_with(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

}  // namespace

std::string sentence_start(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string variable_description(const std::string& name) {
    const std::string where = block_and_group(name);
    if (starts_with(name, "ubee2") || starts_with(name, "vbee2")) {
        const std::string block = starts_with(name, "ubee2") ? "1" : "2";
        const bool g2 = name.back() == 'g';
        return "the PLS axes of block " + block + ", group " + (g2 ? "2" : "1");
    }
    if (starts_with(name, "Vm"))
        return "the principal axes of " + where;
    if (starts_with(name, "data"))
        return where;
    if (starts_with(name, "reference"))
        return "the reference form of " + where;
    if (starts_with(name, "pw"))
        return "the shape scores of " + where;
    if (starts_with(name, "swc"))
        return "the PLS scores of " + where;
    if (starts_with(name, "sbee2") || starts_with(name, "sval2") || starts_with(name, "scor2"))
        return std::string("the PLS results of group ") + (name.back() == 'g' ? "2" : "1");
    return name;
}

std::string empty_variable_message(const std::string& name) {
    if (starts_with(name, "data") || starts_with(name, "ids"))
        return "Load " + block_and_group(name) + " first: it is not loaded yet";
    if (name == "reference1")
        return "Load block 1 of group 1 first: there is no reference form yet";
    if (starts_with(name, "reference2"))
        return "Load both blocks 2 as landmarks and run the analysis first: there is no "
               "reference form of block 2 yet";
    if (starts_with(name, "Vm"))
        return "Run the analysis first: there are no principal axes yet";
    if (starts_with(name, "template") || starts_with(name, "clist"))
        return "Load the templates first: there are none yet";
    static const char* const analysis[] = {"ubee2", "vbee2", "sbee2", "sval2",
                                           "scor2", "swc",   "pw"};
    for (const char* a : analysis)
        if (starts_with(name, a))
            return "Run the analysis first: there are no PLS axes yet";
    return "Nothing is stored under " + name + " yet: load the data and run the analysis first";
}

}  // namespace tesvane
