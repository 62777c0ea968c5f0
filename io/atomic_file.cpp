#include "io/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "io/input_files.hpp"
#include "io/live_temporaries.hpp"
#include "io/read_whole_file.hpp"
#include "platform/error.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

Error write_error(const std::string& path, const std::string& why) {
    return Error("Cannot write " + (path.empty() ? std::string("the file") : path) + ": " + why);
}

const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode))
        return "it is a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    if (S_ISFIFO(mode))
        return "it is a pipe (FIFO), not a regular file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a regular file";
    return "it is not a regular file";
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

// The mode a new or replaced file gets: that of the file replaced, else read-write for the
// owner and readable by all, as an ordinary new file.
mode_t mode_for(const std::string& target) {
    struct stat st;
    return ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
}

void sync_folder(const std::string& target) {
    // The rename is only durable once the folder is on disk; the file is whole either way, so a
    // folder that cannot be synced is no failure.
    const int dir =
        ::open(fs::path(target).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool exists_as_file(const std::string& target) {
    struct stat st;
    return ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Why no temporary file could be made next to `target`, in the user's terms.
Error temporary_error(const std::string& path, const std::string& target, int err) {
    if (err == ENOENT)
        return write_error(
            path, "the folder " + fs::path(target).parent_path().string() + " does not exist");
    if (err == EACCES || err == EPERM)
        return write_error(
            path, "the folder " + fs::path(target).parent_path().string() + " cannot be written");
    return write_error(path, std::strerror(err));
}

// The folder cannot take a new file but the file can be written: it is overwritten with the
// complete content. Its space is reserved first, so a full disk leaves it unchanged.
void write_in_place(const std::string& path, const std::string& target,
                    const std::string& content) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        throw write_error(path, "neither the file nor its folder can be written (" +
                                    std::string(std::strerror(errno)) + ")");
    }
    try {
        const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(content.size()));
        if (reserved == ENOSPC || reserved == EFBIG)
            throw write_error(path, std::string(std::strerror(reserved)) + "; it is unchanged");
        write_all(fd, content, path);
        if (::ftruncate(fd, static_cast<off_t>(content.size())) != 0 || ::fsync(fd) != 0)
            throw write_error(path, std::strerror(errno));
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        throw write_error(path, std::strerror(errno));
}

}  // namespace

std::string checked_output_path(const std::string& path) {
    if (path.empty())
        throw write_error(path, "no file name was given");
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    if (ec)
        throw write_error(path, ec.message());
    // What the path finally names, links followed by the system.
    struct stat st;
    const bool exists = ::stat(p.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw write_error(path, kind_of(st.st_mode));
    // Follow the links one by one to find the file to replace; the link itself stays.
    for (int hops = 0;; ++hops) {
        if (hops == 40)
            throw write_error(path, "too many levels of symbolic links");
        if (p.string().starts_with("/proc/") || p.string().starts_with("/dev/fd/"))
            throw write_error(path, "it names an open descriptor, not a file");
        struct stat lst;
        if (::lstat(p.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode))
            break;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec)
            throw write_error(path, ec.message());
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    if (exists) {
        if (const std::optional<std::string> input = input_file_named_by(p.string())) {
            throw write_error(path, "it is a data file read in this session (" + *input +
                                        "); choose another name");
        }
    }
    return p.string();
}

void write_file_atomically(const std::string& path, const std::string& content) {
    const std::string target = checked_output_path(path);
    LiveTemporary tmp(target, "");
    if (tmp.fd() < 0) {
        if ((tmp.error() == EACCES || tmp.error() == EPERM) && exists_as_file(target)) {
            write_in_place(path, target, content);
            return;
        }
        throw temporary_error(path, target, tmp.error());
    }
    write_all(tmp.fd(), content, path);
    if (::fsync(tmp.fd()) != 0)
        throw write_error(path, std::strerror(errno));
    ::fchmod(tmp.fd(), mode_for(target));
    if (const int err = tmp.close())
        throw write_error(path, std::strerror(err));
    if (const int err = tmp.rename_to(target))
        throw write_error(path, std::strerror(err));
    sync_folder(target);
}

void write_file_atomically_by(const std::string& path, const std::string& suffix,
                              const std::function<void(const std::string&)>& produce) {
    const std::string target = checked_output_path(path);
    LiveTemporary tmp(target, suffix);
    if (tmp.fd() < 0)
        throw temporary_error(path, target, tmp.error());
    ::fchmod(tmp.fd(), mode_for(target));
    if (const int err = tmp.close())
        throw write_error(path, std::strerror(err));
    produce(tmp.path());
    if (const int err = tmp.rename_to(target))
        throw write_error(path, std::strerror(err));
    sync_folder(target);
}

void append_file_atomically(const std::string& path, const std::string& content) {
    const std::string target = checked_output_path(path);
    std::string old;
    if (exists_as_file(target)) {
        std::string why;
        std::optional<std::string> text = read_whole_file(target, &why);
        if (!text)
            throw Error("Cannot read " + path + " to add to it: " + why);
        old = std::move(*text);
    }
    write_file_atomically(target, old + content);
}

}  // namespace tesvane
