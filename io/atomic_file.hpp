// Writing files so that a failure never leaves a truncated file nor destroys the old one.
#pragma once

#include <string>

namespace tesvane {

// Writes `content` to a temporary file in the same folder, flushes it to disk and renames it
// over `path`. An Error naming the file when any step fails; the old file is then untouched.
void write_file_atomically(const std::string& path, const std::string& content);

// Appends `content` to `path` (created when missing) by writing the old content and the new
// into a temporary file and renaming it over the old one, with the same guarantee.
void append_file_atomically(const std::string& path, const std::string& content);

}  // namespace tesvane
