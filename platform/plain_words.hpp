// The program's own messages in the user's terms: groups, blocks and axes rather than the
// names of session variables.
#pragma once

#include <string>

namespace tesvane {

// The text with its first letter capitalised, for a name that starts a sentence.
std::string sentence_start(std::string text);

// What a session variable holds, in words ("the PLS axes of block 1, group 1"); the name itself
// for a variable without a description.
std::string variable_description(const std::string& name);

// What to do when a step needs a session variable that is empty, as one sentence
// ("Run the analysis first: there are no PLS axes yet").
std::string empty_variable_message(const std::string& name);

}  // namespace tesvane
