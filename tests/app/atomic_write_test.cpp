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
#include <functional>

#include "app/AuxBox.hpp"
#include "app_fixture.hpp"

namespace tesvane::test {
namespace {

namespace fs = std::filesystem;

constexpr int kCannotMount = 77;

bool write_proc(const char* file, const std::string& text) {
    const int fd = ::open(file, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
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
    // Runs `body` in a child process with `dir/small` a fresh tmpfs; body returns 0 when every
    // check holds, else the number of the failed check (which it also describes on stderr).
    void in_small_filesystem(const std::function<int(const fs::path&)>& body) {
        const fs::path small = dir / "small";
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (!mount_small_tmpfs(small))
                ::_exit(kCannotMount);
            const int verdict = body(small);
            std::fflush(nullptr);
            ::_exit(verdict);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
        if (WEXITSTATUS(status) == kCannotMount)
            GTEST_SKIP() << "no private tmpfs can be mounted here";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed check, see the child's output";
    }

    // The save and append actions over an existing file, which must come through whole.
    int save_and_append_fail(const fs::path& folder, const std::string& why,
                             const std::function<bool()>& spoil) {
        std::ofstream(folder / "ref.txt") << "old reference\n";
        std::ofstream(folder / "report.txt") << "earlier report\n";
        ctx.vars.set("reference1", Matrix::Constant(1, 2000, 1.0 / 3));  // about 18 KB of text
        ui.control("AuxResults").set_string(std::string(20000, 'r'));
        if (!spoil())
            return kCannotMount;
        const std::vector<std::pair<std::string, std::string>> cases = {{"SaveRef1", "ref.txt"},
                                                                        {"AuxBoxsw", "report.txt"}};
        int check = 0;
        for (const auto& [action, name] : cases) {
            const std::string old = read(folder / name);
            ui.queue(DialogAnswer::file((folder / name).string()));
            if (action == "AuxBoxsw")
                Tesvane6i_callback(ctx, "AuxBoxsw", {});
            else
                run_action(ctx, action);
            const std::string want = "Cannot write " + (folder / name).string() + ": " + why;
            if (++check, last_message() != want) {
                std::fprintf(stderr, "%s: told \"%s\", want \"%s\"\n", action.c_str(),
                             last_message().c_str(), want.c_str());
                return check;
            }
            if (++check, read(folder / name) != old) {
                std::fprintf(stderr, "%s: the old file changed\n", action.c_str());
                return check;
            }
        }
        // No temporary file is left behind.
        for (const auto& e : fs::directory_iterator(folder)) {
            if (++check, e.path().filename().string().starts_with(".")) {
                std::fprintf(stderr, "left behind: %s\n", e.path().c_str());
                return check;
            }
        }
        return 0;
    }
};

TEST_F(AtomicWriteTest, FullDiskIsAMessageAndTheOldFileStays) {
    in_small_filesystem([this](const fs::path& small) {
        return save_and_append_fail(small, "No space left on device", [&] { return fill(small); });
    });
}

TEST_F(AtomicWriteTest, ReadOnlyFolderIsAMessageAndTheOldFileStays) {
    in_small_filesystem([this](const fs::path& small) {
        return save_and_append_fail(small, "Read-only file system",
                                    [&] { return make_read_only(small); });
    });
}

}  // namespace
}  // namespace tesvane::test
