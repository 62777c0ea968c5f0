#include "io/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.hpp"

namespace tesvane {
namespace {

Error write_error(const std::string& path, const std::string& why) {
    return Error("Cannot write " + path + ": " + why);
}

void write_all(int fd, const std::string& content, const std::string& path) {
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw write_error(path, std::strerror(errno));
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

}  // namespace

void write_file_atomically(const std::string& path, const std::string& content) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = fs::absolute(path, ec);
    if (ec)
        throw write_error(path, ec.message());
    if (fs::is_directory(target, ec))
        throw write_error(path, "it is a folder");
    std::string tmp =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        throw write_error(path, std::strerror(errno));
    try {
        write_all(fd, content, path);
        if (::fsync(fd) != 0)
            throw write_error(path, std::strerror(errno));
        // Keep the permissions of a file that is replaced; a new one gets the usual ones.
        struct stat st;
        const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
        ::fchmod(fd, mode);
    } catch (...) {
        ::close(fd);
        ::unlink(tmp.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        throw write_error(path, std::strerror(err));
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        throw write_error(path, std::strerror(err));
    }
    // The rename itself is only durable once the folder is on disk; the file is whole either
    // way, so a folder that cannot be synced is no failure.
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void append_file_atomically(const std::string& path, const std::string& content) {
    std::string old;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            throw Error("Cannot read " + path + " to add to it");
        std::ostringstream s;
        s << in.rdbuf();
        old = s.str();
    }
    write_file_atomically(path, old + content);
}

}  // namespace tesvane
