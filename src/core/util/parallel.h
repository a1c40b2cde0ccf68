// Spreading a range of independent items over a few worker threads: the calling thread and
// helper threads take the items by turns. Used by the track loader and the kinematics.
#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace brisko {

// How many workers are worth starting for `items` independent items at most `wanted`: never
// more than the items or the processors, at least 1.
inline int workersFor(int items, int wanted) {
    const int processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::max(1, std::min({wanted, items, processors}));
}

// Calls work(worker, i) once for every i in first..last - 1. Worker 0 is the calling thread;
// workers 1..workers - 1 are threads started here and joined before this returns. Each worker
// takes the next item not yet taken, so one long item does not hold up the rest. `work` is
// called at once from several threads for different items: what it writes must belong to its
// item or to its worker. It must not throw on a helper thread.
template <class Work>
void forEachInParallel(int first, int last, int workers, Work&& work) {
    if (first >= last) return;
    workers = std::clamp(workers, 1, last - first);
    std::atomic<int> next{first};
    auto take = [&](int worker) {
        for (int i = next++; i < last; i = next++) work(worker, i);
    };
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<size_t>(workers - 1));
    for (int w = 1; w < workers; ++w) helpers.emplace_back(take, w);
    take(0);
    // The helpers join as they go out of scope.
}

}  // namespace brisko
