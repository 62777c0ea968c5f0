#include "analysis/job_pool.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
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

}  // namespace

bool run_pool(int total, unsigned threads, const std::function<void(int)>& job,
              const std::function<void(int)>& done_in_order,
              const std::function<bool(double)>& keep_going) {
    const size_t jobs = static_cast<size_t>(std::max(0, total));
    std::vector<std::string> errors(jobs);
    std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[jobs]);
    std::unique_ptr<std::atomic<bool>[]> failed(new std::atomic<bool>[jobs]);
    for (size_t j = 0; j < jobs; ++j)
        done[j] = failed[j] = false;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    auto take_and_run = [&] {
        if (stop.load())
            return false;
        const int j = next.fetch_add(1);
        if (j >= total)
            return false;
        const size_t k = static_cast<size_t>(j);
        try {
            job(j);
        } catch (const std::exception& e) {
            errors[k] = e.what();
            failed[k] = true;
            stop = true;
        }
        done[k] = true;
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
            while (take_and_run()) {
            }
        });

    size_t announced = 0;
    auto announce = [&](size_t upto) {
        for (; announced < upto && done[announced] && !failed[announced]; ++announced)
            if (done_in_order)
                done_in_order(static_cast<int>(announced));
    };
    bool cancelled = false;
    auto last_check = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    while (take_and_run()) {
        announce(jobs);
        const auto now = std::chrono::steady_clock::now();
        if (keep_going && now - last_check >= std::chrono::milliseconds(20)) {
            last_check = now;
            if (!keep_going(static_cast<double>(announced) / static_cast<double>(total))) {
                cancelled = true;
                break;
            }
        }
    }
    stop = true;
    joiner.join();
    if (cancelled)
        return false;
    for (size_t j = 0; j < jobs; ++j) {
        if (failed[j]) {
            announce(j);
            throw Error(errors[j]);
        }
    }
    announce(jobs);
    // The last jobs may all have been taken by other threads before this one looked for a
    // cancel: asking once more keeps a cancel from being lost however the jobs were shared.
    return !keep_going || keep_going(1.0);
}

}  // namespace tesvane
