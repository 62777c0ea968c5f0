// The names of the two groups, as figures and reports call them.
#pragma once

#include <string>

#include "platform/app_context.hpp"

namespace tesvane {

// A group's name taken from a data file's name: the name without its folder and extension and
// without a trailing block mark ("_b1", "-B2", " block1"), so "Jord_b1.txt" gives "Jord".
// Empty when nothing is left.
std::string name_from_file(const std::string& file_name);

// The session texts that keep the names of the files loaded into each block.
inline constexpr const char* kBlockFileVariables[2][2] = {{"blockfile1", "blockfile2"},
                                                          {"blockfile1g", "blockfile2g"}};

// The name of group 1 or 2: the text of the control GroupName1 or GroupName2 when it is not
// blank; else name_from_file of the group's block-1 file (else its block-2 file), unless the
// other group's files give the same name; else "Group 1" or "Group 2".
std::string group_name(AppContext& ctx, int group);

}  // namespace tesvane
