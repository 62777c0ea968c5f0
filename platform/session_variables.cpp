#include "platform/session_variables.hpp"

#include <algorithm>
#include <array>
#include <cassert>

namespace tesvane {
namespace {

constexpr bool kCleared = true, kKept = false, kJson = true, kNoJson = false;

constexpr std::array<SessionVariable, 67> kVariables{{
    {"reference1", "block-1 reference of both groups pooled", kCleared, kJson},
    {"reference2", "block-2 reference of group 1 (landmarks)", kCleared, kJson},
    {"reference2g", "block-2 reference of group 2 (landmarks)", kCleared, kJson},
    {"data1", "block 1, group 1: configuration rows", kCleared, kJson},
    {"data2", "block 2, group 1: configuration rows or variables", kCleared, kJson},
    {"data1g", "block 1, group 2", kCleared, kJson},
    {"data2g", "block 2, group 2", kCleared, kJson},
    {"pw1", "shape scores of block 1, group 1", kCleared, kJson},
    {"pw2", "shape scores of block 2, group 1 (landmarks)", kCleared, kJson},
    {"pw1g", "shape scores of block 1, group 2", kCleared, kJson},
    {"pw2g", "shape scores of block 2, group 2 (landmarks)", kCleared, kJson},
    {"ubee2", "group 1's block-1 singular vectors U", kCleared, kJson},
    {"sbee2", "group 1's singular value matrix S", kCleared, kJson},
    {"vbee2", "group 1's block-2 singular vectors V", kCleared, kJson},
    {"ubee2g", "group 2's U", kCleared, kJson},
    {"sbee2g", "group 2's S", kCleared, kJson},
    {"vbee2g", "group 2's V", kCleared, kJson},
    {"sval2", "group 1's singular values", kCleared, kJson},
    {"sval2g", "group 2's singular values", kCleared, kJson},
    {"scor2", "group 1's score correlation per axis", kCleared, kJson},
    {"scor2g", "group 2's score correlation per axis", kCleared, kJson},
    {"swc1", "group 1's block-1 scores on the PLS axes", kCleared, kJson},
    {"swc2", "group 1's block-2 scores on the PLS axes", kCleared, kJson},
    {"swc1g", "group 2's block-1 scores on the PLS axes", kCleared, kJson},
    {"swc2g", "group 2's block-2 scores on the PLS axes", kCleared, kJson},
    {"Vm1c", "principal axes of block 1, group 1", kKept, kJson},
    {"Vm2c", "principal axes of block 2, group 1", kKept, kJson},
    {"Vm1g", "principal axes of block 1, group 2", kKept, kJson},
    {"Vm2g", "principal axes of block 2, group 2", kKept, kJson},
    {"permcount", "permutation tests: N and the two groups' sizes", kCleared, kNoJson},
    {"permaxes", "group 1's permutation test per axis", kCleared, kNoJson},
    {"permaxesg", "group 2's permutation test per axis", kCleared, kNoJson},
    {"permstats", "group 1's r-PLS and RV with their p", kCleared, kNoJson},
    {"permstatsg", "group 2's r-PLS and RV with their p", kCleared, kNoJson},
    {"permeffect", "effect sizes Z, lambda, d, s of both groups", kCleared, kNoJson},
    {"permcompare", "comparison of integration: z12 and its p", kCleared, kNoJson},
    {"bangle1", "bootstrap angles of block 1, group 1's resamples (replicates x axes)", kCleared,
     kNoJson},
    {"bangle2", "bootstrap angles of block 2, group 1's resamples", kCleared, kNoJson},
    {"bangle1g", "bootstrap angles of block 1, group 2's resamples", kCleared, kNoJson},
    {"bangle2g", "bootstrap angles of block 2, group 2's resamples", kCleared, kNoJson},
    {"balpha", "alpha level of the last bootstrap", kCleared, kNoJson},
    {"activem2", "1 when block 2 holds landmarks", kCleared, kJson},
    {"homology2", "1 when block 2's landmarks are the same in both groups", kCleared, kJson},
    {"referencetype1", "kind of the block-1 reference, always 0", kCleared, kNoJson},
    {"referencetype2", "kind of the block-2 reference, always 0", kCleared, kNoJson},
    {"blockfile1", "name of the file loaded as block 1, group 1 (text)", kCleared, kNoJson},
    {"blockfile2", "name of the file loaded as block 2, group 1 (text)", kCleared, kNoJson},
    {"blockfile1g", "name of the file loaded as block 1, group 2 (text)", kCleared, kNoJson},
    {"blockfile2g", "name of the file loaded as block 2, group 2 (text)", kCleared, kNoJson},
    {"ids1", "specimen names of block 1, group 1 (text)", kCleared, kNoJson},
    {"ids2", "specimen names of block 2, group 1 (text)", kCleared, kNoJson},
    {"ids1g", "specimen names of block 1, group 2 (text)", kCleared, kNoJson},
    {"ids2g", "specimen names of block 2, group 2 (text)", kCleared, kNoJson},
    {"templatea", "template outline of group 1", kKept, kNoJson},
    {"templateb", "template outline of group 2", kKept, kNoJson},
    {"clist2", "correspondence list of group 1, block 1", kKept, kNoJson},
    {"clist4", "correspondence list of group 2, block 1", kKept, kNoJson},
    {"clist2b", "correspondence list of group 1, block 2", kKept, kNoJson},
    {"clist4b", "correspondence list of group 2, block 2", kKept, kNoJson},
    {"vplotdensity", "display setting: deformation plot density", kKept, kNoJson},
    {"vlinewidth", "display setting: line width", kKept, kNoJson},
    {"vlineformat1", "display setting: first line format (text)", kKept, kNoJson},
    {"vlineformat2", "display setting: second line format (text)", kKept, kNoJson},
    {"vrefsymbol", "display setting: reference landmark symbol (text)", kKept, kNoJson},
    {"vaheads", "display setting: arrow heads on", kKept, kNoJson},
    {"defangle", "display setting: angle of the last deformation display", kKept, kNoJson},
    {"gridtrim", "display setting: grid trimming", kKept, kNoJson},
}};

constexpr GroupVariables kGroup1{"data1", "data2", "ids1", "ids2",  "reference2", "pw1",
                                 "pw2",   "swc1",  "swc2", "ubee2", "sbee2",      "vbee2",
                                 "sval2", "scor2", "Vm1c", "Vm2c"};
constexpr GroupVariables kGroup2{"data1g", "data2g", "ids1g", "ids2g",  "reference2g", "pw1g",
                                 "pw2g",   "swc1g",  "swc2g", "ubee2g", "sbee2g",      "vbee2g",
                                 "sval2g", "scor2g", "Vm1g",  "Vm2g"};

}  // namespace

std::span<const SessionVariable> session_variables() {
    return kVariables;
}

const SessionVariable* find_session_variable(std::string_view name) {
    const auto it = std::find_if(kVariables.begin(), kVariables.end(),
                                 [&](const SessionVariable& v) { return v.name == name; });
    return it == kVariables.end() ? nullptr : &*it;
}

const GroupVariables& group_variables(int group) {
    assert(group == 1 || group == 2);
    return group == 1 ? kGroup1 : kGroup2;
}

}  // namespace tesvane
