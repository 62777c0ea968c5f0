#include "io/read_whole_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/error.hpp"

namespace tesvane {

std::optional<std::string> read_whole_file(const std::string& path, std::string* why) {
    const auto fail = [&](const std::string& reason) -> std::optional<std::string> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (path.empty())
        return fail("no file name was given");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(std::strerror(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail("it is a folder");
    }
    std::string text;
    // A regular file's size is known: one buffer of that size. Others grow as they come.
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t used = 0;
    char probe[1 << 16];
    for (;;) {
        // Into the buffer while it has room, else into `probe`, so that a file of the size
        // announced ends without the buffer growing.
        const bool room = used < text.size();
        char* const to = room ? text.data() + used : probe;
        const std::size_t want = room ? text.size() - used : sizeof probe;
        const ssize_t n = ::read(fd, to, want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throw Error("Cannot read " + path + ": " + std::strerror(err));
        }
        if (n == 0)
            break;
        if (!room) {
            text.resize(used);
            text.append(probe, static_cast<std::size_t>(n));
            text.resize(std::max(text.size(), text.capacity()));
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(used);
    return text;
}

bool is_regular_file(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace tesvane
