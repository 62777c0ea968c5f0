// The temporary files being written right now, removed when the process is interrupted.
//
// A writer registers its temporary file before the first byte goes in and releases it once the
// file is renamed or removed. SIGINT and SIGTERM remove every registered file and then end the
// process as the signal would have (or pass it on to a handler installed before ours), so an
// interrupted save leaves no hidden partial file behind.
#pragma once

#include <string>

namespace tesvane {

// A unique, empty file created next to `target` ("." + its name + random letters + `suffix`),
// open for writing, registered for removal on interruption. When it cannot be created, fd() is
// -1 and error() the errno value.
class LiveTemporary {
  public:
    LiveTemporary(const std::string& target, const std::string& suffix);
    ~LiveTemporary();  // removes the file unless it was renamed
    LiveTemporary(const LiveTemporary&) = delete;
    LiveTemporary& operator=(const LiveTemporary&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }
    int error() const { return error_; }
    // Closes the descriptor; the errno value of a failed close, 0 on success.
    int close();
    // Renames the file onto `target`; the errno value on failure (the file is then removed by
    // the destructor), 0 on success.
    int rename_to(const std::string& target);

  private:
    std::string path_;
    int fd_ = -1;
    int slot_ = -1;
    int error_ = 0;
    bool renamed_ = false;
};

// How many temporaries are registered now (for tests).
int live_temporary_count();

}  // namespace tesvane
