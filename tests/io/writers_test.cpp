// The writer every save goes through, and the one-pass reader: what may be written, what is left
// behind, and inputs that can only be read once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "io/atomic_file.hpp"
#include "io/dload.hpp"
#include "io/input_files.hpp"
#include "io/landmark_file.hpp"
#include "io/live_temporaries.hpp"
#include "io/read_whole_file.hpp"
#include "platform/error.hpp"
#include "test_util.hpp"

namespace tesvane {
namespace {

namespace fs = std::filesystem;

class Writers : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tesvane_writers_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        forget_input_files();
    }
    void TearDown() override {
        forget_input_files();
        fs::remove_all(dir);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string read(const std::string& p) { return test::read_file(p); }
    // The names in the folder: a write must leave no temporary file behind.
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(dir))
            v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }
    // The message of the Error that writing "new" to `p` throws.
    static std::string refusal(const std::string& p) {
        return test::error_of([&] { write_file_atomically(p, "new"); });
    }

    fs::path dir;
};

TEST_F(Writers, RefuseWhatIsNotARegularFileAndLeaveItAsItWas) {
    ::mkfifo(path("fifo").c_str(), 0600);
    fs::create_directory(path("folder"));
    const std::string socket_path = path("sock");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    socket_path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    fs::create_symlink(path("fifo"), path("link-to-fifo"));
    const struct {
        std::string path, why;
    } cases[] = {
        {path("fifo"), "it is a pipe (FIFO), not a regular file"},
        {path("link-to-fifo"), "it is a pipe (FIFO), not a regular file"},
        {path("folder"), "it is a folder"},
        {socket_path, "it is a socket, not a regular file"},
        {"/dev/null", "it is a device, not a regular file"},
        {"/dev/stdout", ""},  // a terminal, a pipe or a file: never the link itself
        {"/proc/self/fd/1", ""},
        {"", "no file name was given"},
        {path("missing/x.txt"), "the folder " + path("missing") + " does not exist"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.path.empty() ? "the file" : c.path;
        const std::string got = refusal(c.path);
        EXPECT_EQ(got.rfind("Cannot write " + shown + ": ", 0), 0u) << got;
        if (!c.why.empty()) {
            EXPECT_EQ(got, "Cannot write " + shown + ": " + c.why);
        }
    }
    ::close(sock);
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    EXPECT_TRUE(fs::is_symlink(path("link-to-fifo")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(names(), (std::vector<std::string>{"fifo", "folder", "link-to-fifo", "sock"}));
}

TEST_F(Writers, FollowASymbolicLinkAndReplaceItsTarget) {
    std::ofstream(path("target.txt")) << "old";
    fs::create_symlink("target.txt", path("link.txt"));  // relative, as users make them
    fs::create_symlink(path("new.txt"), path("dangling.txt"));
    write_file_atomically(path("link.txt"), "through the link");
    write_file_atomically(path("dangling.txt"), "made");
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(read(path("target.txt")), "through the link");
    EXPECT_TRUE(fs::is_symlink(path("dangling.txt")));
    EXPECT_EQ(read(path("new.txt")), "made");
    append_file_atomically(path("link.txt"), " and more");
    EXPECT_EQ(read(path("target.txt")), "through the link and more");
    EXPECT_EQ(names(),
              (std::vector<std::string>{"dangling.txt", "link.txt", "new.txt", "target.txt"}));
}

TEST_F(Writers, NeverReplaceADataFileThatWasRead) {
    std::ofstream(path("data.txt")) << "1 2 3\n";
    fs::create_hard_link(path("data.txt"), path("other-name.txt"));
    fs::create_symlink(path("data.txt"), path("link.txt"));
    ASSERT_EQ(dload(path("data.txt")).cols(), 3);
    for (const std::string& p : {path("data.txt"), path("other-name.txt"), path("link.txt")}) {
        EXPECT_EQ(refusal(p), "Cannot write " + p + ": it is a data file read in this session (" +
                                  path("data.txt") + "); choose another name");
    }
    EXPECT_THROW(append_file_atomically(path("data.txt"), "x"), Error);
    EXPECT_EQ(read(path("data.txt")), "1 2 3\n");
    write_file_atomically(path("results.txt"), "fine");  // any other file is written
    EXPECT_EQ(read(path("results.txt")), "fine");
}

// A data file deleted after it was read frees its inode; a later file given that inode (a figure
// exported earlier, say) is not the data and may be replaced.
TEST_F(Writers, AFileGivenTheInodeOfADeletedDataFileMayBeReplaced) {
    const auto inode = [](const std::string& p) {
        struct stat st {};
        return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
    };
    std::ofstream(path("data.txt")) << "1 2 3\n";
    ASSERT_EQ(dload(path("data.txt")).cols(), 3);
    const ino_t data_inode = inode(path("data.txt"));
    fs::remove(path("data.txt"));
    std::ofstream(path("figure.svg")) << "old";
    if (inode(path("figure.svg")) != data_inode)
        GTEST_SKIP() << "the file system gave the new file another inode";
    write_file_atomically(path("figure.svg"), "new");
    EXPECT_EQ(read(path("figure.svg")), "new");
}

TEST_F(Writers, AWriterThatFailsLeavesNoTemporaryFile) {
    std::ofstream(path("fig.eps")) << "old picture";
    EXPECT_THROW(write_file_atomically_by(path("fig.eps"), ".eps",
                                          [](const std::string& temp) {
                                              EXPECT_EQ(temp.substr(temp.size() - 4), ".eps");
                                              EXPECT_EQ(live_temporary_count(), 1);
                                              std::ofstream(temp) << "half";
                                              throw Error("cannot draw");
                                          }),
                 Error);
    EXPECT_EQ(live_temporary_count(), 0);
    EXPECT_EQ(read(path("fig.eps")), "old picture");
    // Two writes of one name at once get two temporary names.
    write_file_atomically_by(path("fig"), ".eps", [&](const std::string& outer) {
        write_file_atomically_by(path("fig"), ".eps", [&](const std::string& inner) {
            EXPECT_NE(inner, outer);
            std::ofstream(inner) << "inner";
        });
        std::ofstream(outer) << "outer";
    });
    EXPECT_EQ(read(path("fig")), "outer");
    EXPECT_EQ(names(), (std::vector<std::string>{"fig", "fig.eps"}));
}

TEST_F(Writers, AnInterruptedWriteRemovesItsTemporaryFile) {
    for (const int sig : {SIGINT, SIGTERM}) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            LiveTemporary tmp(path("big.json"), "");
            const std::string name = tmp.path() + "\n";
            (void)!::write(fds[1], name.data(), name.size());
            ::raise(sig);
            ::_exit(0);
        }
        ::close(fds[1]);
        char buf[4096];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_GT(n, 1);
        const std::string temp(buf, static_cast<size_t>(n - 1));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_FALSE(fs::exists(temp)) << temp;
    }
    EXPECT_TRUE(names().empty());
}

TEST_F(Writers, AFileInAFolderThatCannotBeWrittenIsWrittenInPlace) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    fs::create_directory(path("locked"));
    const std::string file = path("locked/out.txt");
    std::ofstream(file) << "a longer old content";
    fs::permissions(path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    write_file_atomically(file, "new");
    EXPECT_EQ(read(file), "new");
    EXPECT_EQ(refusal(path("locked/new.txt")), "Cannot write " + path("locked/new.txt") +
                                                   ": the folder " + path("locked") +
                                                   " cannot be written");
    fs::permissions(path("locked"), fs::perms::owner_all);
}

// A FIFO with a writer on another thread, as `<(...)` gives it: read once, nothing lost.
TEST_F(Writers, PipesAreReadWholeAndOnce) {
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += std::to_string(i) + " " + std::to_string(i + 1) + " 1.5\n";  // > 64 KiB
    const struct {
        std::string text;
        bool landmarks, plain;
        Index rows, cols;
    } cases[] = {
        {"1 2 3\n4 5 6\n", true, true, 2, 3},
        {big, true, true, 20000, 3},
        {"LM=1\n1 1\nLM=1\n2 2\n", true, false, 2, 3},
        {"id;a;b\nx;1,5;2\n", false, false, 1, 2},
    };
    for (const auto& c : cases) {
        for (const bool through_reader : {false, true}) {
            if (!through_reader && !c.plain)
                continue;  // dload reads plain numbers only
            const std::string fifo = path("pipe");
            fs::remove(fifo);
            ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
            std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << c.text; });
            const Matrix m = through_reader ? read_data_file(fifo, c.landmarks).data : dload(fifo);
            writer.join();
            EXPECT_EQ(m.rows(), c.rows) << c.text.substr(0, 20) << through_reader;
            EXPECT_EQ(m.cols(), c.cols) << c.text.substr(0, 20) << through_reader;
        }
    }
    EXPECT_FALSE(input_file_named_by(path("pipe")));  // only regular files are noted
}

TEST_F(Writers, ReadWholeFileSaysWhyItCannot) {
    std::string why;
    EXPECT_FALSE(read_whole_file(path("absent"), &why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(read_whole_file(dir.string(), &why));
    EXPECT_EQ(why, "it is a folder");
    std::ofstream(path("f")) << std::string(100000, 'x');
    EXPECT_EQ(read_whole_file(path("f"))->size(), 100000u);
    EXPECT_TRUE(is_regular_file(path("f")));
    EXPECT_FALSE(is_regular_file(dir.string()));
    EXPECT_FALSE(is_regular_file("/dev/null"));
}

}  // namespace
}  // namespace tesvane
