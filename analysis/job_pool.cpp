#include "analysis/job_pool.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/error.hpp"

namespace tesvane {
namespace {

unsigned pool_size(unsigned asked, int jobs) {
    unsigned t = asked ? asked : std::thread::hardware_concurrency();
    t = std::max(1u, t);
    return std::min<unsigned>(t, static_cast<unsigned>(std::max(1, jobs)));
}

int first_failed_seen(std::mutex& m, const int& first_failed) {
    const std::lock_guard<std::mutex> lock(m);
    return first_failed;
}

}  // namespace

bool run_pool(int total, unsigned threads, const std::function<void(int)>& job,
              const std::function<void(int)>& done_in_order,
              const std::function<bool(double)>& keep_going) {
    // Job j runs only once job j - kPoolWindow has been announced, so the flags live in a ring
    // of kPoolWindow slots: memory does not grow with the number of jobs.
    constexpr size_t W = kPoolWindow;
    std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[W]);
    for (size_t j = 0; j < W; ++j)
        done[j] = false;
    std::mutex failure_mutex;
    int first_failed = total;
    std::string failure;
    std::atomic<int> next{0};
    std::atomic<int> announced{0};  // written by the calling thread only
    std::atomic<bool> stop{false};

    auto announce = [&] {
        int a = announced.load();
        // The flag first: a failure is recorded before its job's flag is set.
        while (a < total && done[static_cast<size_t>(a) % W].load(std::memory_order_acquire) &&
               a < first_failed_seen(failure_mutex, first_failed)) {
            done[static_cast<size_t>(a) % W] = false;
            if (done_in_order)
                done_in_order(a);
            announced.store(++a);
        }
    };
    auto take_and_run = [&](bool caller) {
        if (stop.load())
            return false;
        const int j = next.fetch_add(1);
        if (j >= total)
            return false;
        while (j >= announced.load() + static_cast<int>(W)) {
            if (stop.load())
                return false;
            if (caller)
                announce();
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        try {
            job(j);
        } catch (const std::exception& e) {
            const std::lock_guard<std::mutex> lock(failure_mutex);
            if (j < first_failed) {
                first_failed = j;
                failure = e.what();
            }
            stop = true;
        }
        done[static_cast<size_t>(j) % W].store(true, std::memory_order_release);
        return true;
    };

    std::vector<std::thread> pool;
    struct Joiner {
        std::vector<std::thread>& pool;
        std::atomic<bool>& stop;
        void join() {
            for (std::thread& t : pool)
                if (t.joinable())
                    t.join();
        }
        ~Joiner() {
            stop = true;
            join();
        }
    } joiner{pool, stop};
    const unsigned pool_threads = pool_size(threads, total);
    for (unsigned t = 1; t < pool_threads; ++t)
        pool.emplace_back([&] {
            while (take_and_run(false)) {
            }
        });

    bool cancelled = false;
    auto last_check = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    while (take_and_run(true)) {
        announce();
        const auto now = std::chrono::steady_clock::now();
        if (keep_going && now - last_check >= std::chrono::milliseconds(20)) {
            last_check = now;
            if (!keep_going(static_cast<double>(announced.load()) / static_cast<double>(total))) {
                cancelled = true;
                break;
            }
        }
    }
    stop = true;
    joiner.join();
    if (cancelled)
        return false;
    // Every job before a failure was taken and has finished: announce them, then report it.
    announce();
    if (first_failed < total)
        throw Error(failure);
    // The last jobs may all have been taken by other threads before this one looked for a
    // cancel: asking once more keeps a cancel from being lost however the jobs were shared.
    return !keep_going || keep_going(1.0);
}

}  // namespace tesvane
