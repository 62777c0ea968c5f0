#include "io/live_temporaries.hpp"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace tesvane {
namespace {

// A fixed table, so that the signal handler touches no heap and takes no lock.
constexpr int kSlots = 64;
constexpr std::size_t kPathBytes = 4096;
enum SlotState : int { kFree = 0, kFilling = 1, kLive = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathBytes];
};
std::array<Slot, kSlots> g_slots;

struct sigaction g_old_int;
struct sigaction g_old_term;
bool g_int_installed = false;
bool g_term_installed = false;

void remove_live_files() {
    for (Slot& s : g_slots)
        if (s.state.load(std::memory_order_acquire) == kLive)
            ::unlink(s.path);
}

void on_signal(int sig, siginfo_t* info, void* context) {
    const int saved = errno;
    remove_live_files();
    const struct sigaction& old = sig == SIGINT ? g_old_int : g_old_term;
    if ((old.sa_flags & SA_SIGINFO) != 0 && old.sa_sigaction != nullptr) {
        old.sa_sigaction(sig, info, context);
    } else if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN) {
        old.sa_handler(sig);
    } else {
        // End the process as the signal itself would, with the status a shell expects.
        ::signal(sig, SIG_DFL);
        ::raise(sig);
    }
    errno = saved;
}

void install(int sig, struct sigaction& old, bool& installed) {
    if (::sigaction(sig, nullptr, &old) != 0)
        return;
    // A signal that is ignored (as for a program started in the background) stays ignored.
    if ((old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_IGN)
        return;
    struct sigaction sa {};
    sa.sa_sigaction = on_signal;
    sa.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    installed = ::sigaction(sig, &sa, nullptr) == 0;
}

void install_handlers_once() {
    static std::once_flag once;
    std::call_once(once, [] {
        install(SIGINT, g_old_int, g_int_installed);
        install(SIGTERM, g_old_term, g_term_installed);
    });
}

int register_path(const std::string& path) {
    if (path.size() >= kPathBytes)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
            g_slots[i].state.store(kLive, std::memory_order_release);
            return i;
        }
    }
    return -1;  // more files at once than slots: written unguarded, still removed on failure
}

void release(int slot) {
    if (slot >= 0)
        g_slots[slot].state.store(kFree, std::memory_order_release);
}

}  // namespace

LiveTemporary::LiveTemporary(const std::string& target, const std::string& suffix) {
    install_handlers_once();
    const std::filesystem::path t(target);
    std::string name = (t.parent_path() / ("." + t.filename().string() + ".XXXXXX")).string();
    name += suffix;
    // Signals are held while the file is created and registered, so that none can leave it
    // behind unregistered.
    sigset_t block, old;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &block, &old);
    fd_ = ::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    const int err = errno;
    if (fd_ >= 0)
        slot_ = register_path(name);
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (fd_ < 0)
        error_ = err;
    else
        path_ = name;
}

LiveTemporary::~LiveTemporary() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!renamed_ && !path_.empty())
        ::unlink(path_.c_str());
    release(slot_);
}

int LiveTemporary::close() {
    if (fd_ < 0)
        return 0;
    const int r = ::close(fd_);
    fd_ = -1;
    return r == 0 ? 0 : errno;
}

int LiveTemporary::rename_to(const std::string& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0)
        return errno;
    renamed_ = true;
    release(slot_);
    slot_ = -1;
    return 0;
}

int live_temporary_count() {
    int n = 0;
    for (const Slot& s : g_slots)
        n += s.state.load() == kLive ? 1 : 0;
    return n;
}

}  // namespace tesvane
