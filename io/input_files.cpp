#include "io/input_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <tuple>

namespace tesvane {
namespace {

// Device and inode name a file while it exists; its birth time, where the file system keeps one,
// tells it from a later file given the inode of a deleted one.
using FileKey = std::tuple<dev_t, ino_t, long long, long>;

struct Registry {
    std::mutex mutex;
    std::map<FileKey, std::string> files;
};

Registry& registry() {
    static Registry r;
    return r;
}

std::optional<FileKey> regular_file_key(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    long long born_s = 0;
    long born_ns = 0;
#if defined(STATX_BTIME) && !defined(__EMSCRIPTEN__)
    struct statx sx;
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)) {
        born_s = sx.stx_btime.tv_sec;
        born_ns = sx.stx_btime.tv_nsec;
    }
#endif
    return FileKey{st.st_dev, st.st_ino, born_s, born_ns};
}

}  // namespace

void note_input_file(const std::string& path) {
    const std::optional<FileKey> key = regular_file_key(path);
    if (!key)
        return;
    Registry& r = registry();
    const std::lock_guard<std::mutex> lock(r.mutex);
    r.files[*key] = path;
}

std::optional<std::string> input_file_named_by(const std::string& path) {
    const std::optional<FileKey> key = regular_file_key(path);
    if (!key)
        return std::nullopt;
    Registry& r = registry();
    const std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.files.find(*key);
    if (it == r.files.end())
        return std::nullopt;
    return it->second;
}

void forget_input_files() {
    Registry& r = registry();
    const std::lock_guard<std::mutex> lock(r.mutex);
    r.files.clear();
}

}  // namespace tesvane
