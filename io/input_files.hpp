// The files this process has read as data. No writer may replace one of them: a saved axis or
// a JSON written over a loaded data file would destroy the data the results came from.
#pragma once

#include <optional>
#include <string>

namespace tesvane {

// Notes the regular file at `path` as read (by device and inode, so any other name of the same
// file counts too). Anything else (a pipe, a missing file) is not noted.
void note_input_file(const std::string& path);

// The name under which the file that `path` names was read, when it was.
std::optional<std::string> input_file_named_by(const std::string& path);

// Forgets every noted file.
void forget_input_files();

}  // namespace tesvane
