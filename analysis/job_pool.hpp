// A pool of threads that runs numbered jobs whose results must not depend on the thread count.
#pragma once

#include <cstddef>
#include <functional>

namespace tesvane {

// How far ahead of the last announced job the threads may run: a caller that keeps per-job
// results until they are announced needs a ring of this many slots (slot j % kPoolWindow).
inline constexpr std::size_t kPoolWindow = 1024;

// Runs job(0) ... job(total - 1) on `threads` threads (0: one per core), the calling one
// included. A thread looks for a stop only before it takes a job, so the jobs taken are a prefix
// of the order and every one of them finishes: the first failure in job order is then the same
// whatever the number of threads. done_in_order(j) is called on the calling thread for every
// finished job in order; keep_going(fraction done) at most every 20 ms and once at the end with
// 1. Job j starts only after job j - kPoolWindow has been announced, so memory for the jobs'
// results does not grow with their number. Returns false when keep_going said no; a failure is
// rethrown as an Error with its message after the jobs before it have been announced.
bool run_pool(int total, unsigned threads, const std::function<void(int)>& job,
              const std::function<void(int)>& done_in_order,
              const std::function<bool(double)>& keep_going);

}  // namespace tesvane
