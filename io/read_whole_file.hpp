// Reading a file into memory in one pass, so that a pipe, a FIFO, /dev/stdin or a process
// substitution reads the same as a regular file: nothing is read twice, nothing is lost.
#pragma once

#include <optional>
#include <string>

namespace tesvane {

// The whole content of `path`, or nothing when it cannot be opened for reading or is a folder;
// `why` (when given) then receives the reason. A regular file is read into a buffer of its exact
// size. A read error after opening is an Error naming the file.
std::optional<std::string> read_whole_file(const std::string& path, std::string* why = nullptr);

// True when `path` names a regular file (links followed): the test that keeps an optional
// file of a fixed name from blocking on a FIFO or a device.
bool is_regular_file(const std::string& path);

}  // namespace tesvane
