// How many threads a transform of a large picture starts.
#include "runtime/image/image_threads.h"

#include <atomic>

namespace {
std::atomic<int> forced{0};
}

int image_threads_for(std::int64_t bytes)
{
    if (const int n = forced.load(std::memory_order_relaxed); n > 0)
        return n;
    if (bytes < (std::int64_t(8) << 20))
        return 1;
    // four cores already take all the memory bandwidth a transform can use
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 4u));
}

void image_force_threads(int n)
{
    forced.store(std::max(n, 0), std::memory_order_relaxed);
}
