// Huge pages for the rows of large new bitmaps (not public).
#pragma once
#include "ostrel/bmap.h"

#include <cstddef>
#include <cstdint>
#if defined(__linux__)
#include <sys/mman.h>
#endif

// Rows of more than 32 MiB always come from their own mapping (the C library's largest
// mmap threshold), and their first writes fault in one 4 KiB page at a time: for a
// 6000 x 4000 result that costs several times the transform itself. Advising huge pages
// over the 2 MiB-aligned inside of the block before the first write makes it one fault
// per 2 MiB. Smaller blocks may share the heap's mapping, which the advice would split,
// so they are left alone. Only advice: when the kernel declines, nothing changes.
inline void image_prefer_huge_pages(const _bmap* bm)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kMin = std::size_t(32) << 20, kHuge = std::size_t(2) << 20;
    if (!bm->bits || bm->size < 0 || static_cast<std::size_t>(bm->size) < kMin)
        return;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(bm->bits);
    const std::uintptr_t lo = (start + kHuge - 1) & ~std::uintptr_t(kHuge - 1);
    const std::uintptr_t hi = (start + static_cast<std::size_t>(bm->size)) & ~std::uintptr_t(kHuge - 1);
    if (hi > lo)
        madvise(reinterpret_cast<void*>(lo), hi - lo, MADV_HUGEPAGE);
#else
    (void)bm;
#endif
}
