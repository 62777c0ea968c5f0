#include "io/input_files.hpp"

#include <sys/stat.h>

#include <map>
#include <mutex>
#include <utility>

namespace tesvane {
namespace {

using FileKey = std::pair<dev_t, ino_t>;

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
    return FileKey{st.st_dev, st.st_ino};
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
