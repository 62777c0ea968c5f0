// Writing files so that a failure never leaves a truncated file nor destroys the old one.
//
// Every writer goes through here. Only regular files are written: a path that names a folder, a
// device, a pipe (FIFO), a socket or an open descriptor (/dev/stdout, /proc/self/fd/N) is
// refused, and so is a file the process has read as data (io/input_files). A symbolic link is
// followed and the file it ends at is replaced, the link kept. The content goes to a unique
// temporary file in the target's folder that is removed on failure and on SIGINT or SIGTERM
// (io/live_temporaries), then is renamed over the target. When the folder cannot be written but
// the existing file can, the file is overwritten in place once the whole content is ready, after
// reserving its space so that a full disk is found before the old content is touched.
#pragma once

#include <functional>
#include <string>

namespace tesvane {

// The file a write to `path` replaces or creates, symbolic links followed. An Error
// "Cannot write PATH: reason" when it must not be written.
std::string checked_output_path(const std::string& path);

// Writes `content` to `path` as described above. An Error naming the file when any step fails;
// the old file is then untouched.
void write_file_atomically(const std::string& path, const std::string& content);

// The same for content that a writer puts into a file itself: `produce` writes the file whose
// path it is given (a unique temporary name ending in `suffix`, so writers that choose the format
// by the extension get the one they need), which is then renamed over `path`.
void write_file_atomically_by(const std::string& path, const std::string& suffix,
                              const std::function<void(const std::string&)>& produce);

// Appends `content` to `path` (created when missing) by writing the old content and the new
// into a temporary file and renaming it over the old one, with the same guarantee.
void append_file_atomically(const std::string& path, const std::string& content);

}  // namespace tesvane
