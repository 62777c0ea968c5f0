// The writers on a full disk and in a read-only folder: a message naming the file, and the old
// file whole. The folder is a 64 KiB tmpfs mounted in a private mount namespace of a child
// process, so nothing outside the test sees it; the test skips where that is not allowed.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <tuple>

#include "app/AuxBox.hpp"
#include "app_fixture.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

constexpr int kCannotMount = 77;

bool write_proc(const char* file, const std::string& text) {
    std::ofstream out(file);
    return static_cast<bool>(out << text << std::flush);
}

// Becomes root of a new user namespace when not root already, then gets a private mount
// namespace and mounts a small tmpfs on `at`.
bool mount_small_tmpfs(const fs::path& at) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    if (uid != 0 && !(write_proc("/proc/self/setgroups", "deny") &&
                      write_proc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
                      write_proc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")))
        return false;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    std::error_code ec;
    fs::create_directories(at, ec);
    return ::mount("tesvane_test", at.c_str(), "tmpfs", 0, "size=64k") == 0;
}

// Fills the file system holding `folder` until a write fails for want of space.
bool fill(const fs::path& folder) {
    const int fd = ::open((folder / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return false;
    const std::string chunk(4096, 'x');
    while (::write(fd, chunk.data(), chunk.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

bool make_read_only(const fs::path& folder) {
    return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

class AtomicWriteTest : public AppTest {
  protected:
    // Runs the save and append actions over existing files in a child process with `dir/small` a
    // fresh tmpfs, spoilt by `spoil`: each must say "Cannot write <file>: <why>", leave the old
    // file whole and no temporary file behind. The child describes a failed check on stderr.
    void save_and_append_fail(const std::string& why, bool (*spoil)(const fs::path&)) {
        const fs::path small = dir / "small";
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (!mount_small_tmpfs(small))
                ::_exit(kCannotMount);
            const std::string failed = checks(small, why, spoil);
            std::fprintf(stderr, "%s", failed.c_str());
            std::fflush(nullptr);
            ::_exit(failed.empty() ? 0 : failed == "cannot spoil" ? kCannotMount : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
        if (WEXITSTATUS(status) == kCannotMount)
            GTEST_SKIP() << "no private tmpfs can be mounted and spoilt here";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed check, see the child's output";
    }

    std::string checks(const fs::path& folder, const std::string& why,
                       bool (*spoil)(const fs::path&)) {
        std::ofstream(folder / "ref.txt") << "old reference\n";
        std::ofstream(folder / "report.txt") << "earlier report\n";
        ctx.vars.set("reference1", Matrix::Constant(1, 2000, 1.0 / 3));  // about 18 KB of text
        ui.control("AuxResults").set_string(std::string(20000, 'r'));
        if (!spoil(folder))
            return "cannot spoil";
        // The Save actions go through the dispatcher, the results window's save is its own.
        for (const auto& [function, arg, name] : {std::tuple{"Tesvanesw", "SaveRef1", "ref.txt"},
                                                  std::tuple{"AuxBoxsw", "", "report.txt"}}) {
            const std::string old = read(folder / name), action = std::string(function) + " " + arg;
            ui.queue(DialogAnswer::file((folder / name).string()));
            Tesvane6i_callback(ctx, function, *arg ? Values{std::string(arg)} : Values{});
            const std::string want = "Cannot write " + (folder / name).string() + ": " + why;
            if (last_message() != want)
                return action + ": told \"" + last_message() + "\"\n";
            if (read(folder / name) != old)
                return action + ": the old file changed\n";
        }
        for (const auto& e : fs::directory_iterator(folder)) {
            if (e.path().filename().string().starts_with("."))
                return "left behind: " + e.path().string() + "\n";
        }
        return "";
    }
};

TEST_F(AtomicWriteTest, FullDiskOrReadOnlyFolderIsAMessageAndTheOldFileStays) {
    save_and_append_fail("No space left on device", fill);
    save_and_append_fail("Read-only file system", make_read_only);
}

}  // namespace
}  // namespace tesvane::test
