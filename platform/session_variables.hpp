// The one list of session variables: every name an action may read or write, what it holds,
// whether Clear&reset forgets it and whether the run's JSON file holds it.
#pragma once

#include <span>
#include <string_view>

namespace tesvane {

struct SessionVariable {
    std::string_view name;
    std::string_view holds;
    bool cleared;  // by Clear&reset
    bool json;     // in the analysis results written as JSON
};

// In the order the JSON results list them.
std::span<const SessionVariable> session_variables();

// The entry of `name`, or nullptr for a name that is not a session variable.
const SessionVariable* find_session_variable(std::string_view name);

// The names of one group's variables (group 1: no suffix; group 2: the trailing g, and Vm1g,
// Vm2g for the principal axes), so that no name is built by hand.
struct GroupVariables {
    const char *data1, *data2, *ids1, *ids2, *reference2;
    const char *pw1, *pw2, *swc1, *swc2;
    const char *ubee2, *sbee2, *vbee2, *sval2, *scor2;
    const char *vm1, *vm2;
};
// group is 1 or 2.
const GroupVariables& group_variables(int group);

}  // namespace tesvane
