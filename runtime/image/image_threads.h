// Splitting a transform of a large picture between threads (not public). The parts
// write disjoint bytes of the result; each keeps its own scratch rows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// Threads worth starting for a transform that moves this many bytes. The transforms are
// bound by memory and, for a new result, by the kernel clearing its pages: both go
// faster with a few cores at them, and below a few MiB starting threads costs more
// than it saves. image_force_threads(n) makes it n (tests); 0 restores the choice.
int image_threads_for(std::int64_t bytes);
void image_force_threads(int n);

// Runs part(k) for k = 0..parts-1, part 0 on the calling thread and the others on
// threads of their own; a thread that cannot be started leaves its part to the calling
// thread. The first exception a part throws is thrown here, after all parts ended.
template <class Part>
void image_run_parts(int parts, const Part& part)
{
    std::vector<std::exception_ptr> failed(static_cast<std::size_t>(std::max(parts, 1)));
    auto guarded = [&](int k) {
        try {
            part(k);
        } catch (...) {
            failed[static_cast<std::size_t>(k)] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    std::vector<int> left;
    for (int k = 1; k < parts; ++k) {
        try {
            helpers.emplace_back(guarded, k);
        } catch (const std::system_error&) {
            left.push_back(k);
        }
    }
    guarded(0);
    for (int k : left)
        guarded(k);
    for (std::thread& t : helpers)
        t.join();
    for (const std::exception_ptr& e : failed)
        if (e)
            std::rethrow_exception(e);
}

// Runs rows(y0, y1) over [0, count) cut into `threads` runs of nearly equal length
// (fewer when there are fewer items than threads).
template <class Rows>
void image_run_rows(int count, int threads, const Rows& rows)
{
    const int parts = std::clamp(threads, 1, std::max(count, 1));
    image_run_parts(parts, [&](int k) {
        rows(static_cast<int>(static_cast<std::int64_t>(count) * k / parts),
             static_cast<int>(static_cast<std::int64_t>(count) * (k + 1) / parts));
    });
}

OSTREL_INTERNAL_EXPORT_END
