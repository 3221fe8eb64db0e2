// Large pixel blocks. Rows of more than 32 MiB always come from their own mapping (the C
// library's largest mmap threshold): every new one is faulted in and cleared by the
// kernel on first write, which for a 6000 x 4000 result costs more than rotating it.
// So the last large block released is kept, its pages marked free-able (the kernel takes
// them back under memory pressure instead of swapping), and the next large result that
// fits it is written there. Blocks below the threshold are the C library's business; it
// already keeps those.
#include "runtime/image/pixel_store.h"
#include "runtime/image/image_deps.h"
#include "platform/gdi/shared_rows.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#if defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kLarge = std::size_t(32) << 20;
constexpr std::size_t kHuge = std::size_t(2) << 20;

std::mutex kept_lock;
unsigned char* kept = nullptr;
std::size_t kept_size = 0;

std::uintptr_t align_up(std::uintptr_t v, std::size_t a)
{
    return (v + a - 1) & ~std::uintptr_t(a - 1);
}

std::uintptr_t align_down(std::uintptr_t v, std::size_t a)
{
    return v & ~std::uintptr_t(a - 1);
}

// Advice over the whole pages inside [p, p + n): the block's first bytes share a page
// with the allocator's own header, which must keep its contents.
void advise_inside(unsigned char* p, std::size_t n, std::size_t unit, int advice)
{
#if defined(__linux__)
    const std::uintptr_t lo = align_up(reinterpret_cast<std::uintptr_t>(p), unit);
    const std::uintptr_t hi = align_down(reinterpret_cast<std::uintptr_t>(p) + n, unit);
    if (hi > lo)
        madvise(reinterpret_cast<void*>(lo), hi - lo, advice);
#else
    (void)p, (void)n, (void)unit, (void)advice;
#endif
}

// Huge pages make the first writes one fault per 2 MiB instead of one per 4 KiB.
// Only advice: when the kernel declines, nothing changes.
void prefer_huge_pages(unsigned char* p, std::size_t n)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    advise_inside(p, n, kHuge, MADV_HUGEPAGE);
#else
    (void)p, (void)n;
#endif
}

// Over whole huge pages only: freeing part of one splits it, and the next writes then
// fault in the split part 4 KiB at a time.
void let_kernel_reclaim(unsigned char* p, std::size_t n)
{
#if defined(__linux__) && defined(MADV_FREE)
    advise_inside(p, n, kHuge, MADV_FREE);
#else
    (void)p, (void)n;
#endif
}

std::size_t usable_size(unsigned char* p)
{
#if defined(__linux__)
    return malloc_usable_size(p);
#else
    (void)p;
    return 0;
#endif
}

} // namespace

unsigned char* image_rows_alloc(std::size_t size)
{
    if (unsigned char* rows = shared_rows_allocate(size))
        return rows;
    return static_cast<unsigned char*>(std::malloc(size));
}

unsigned char* image_rows_for_overwrite(std::size_t size)
{
    if (size >= kLarge) {
        std::lock_guard<std::mutex> hold(kept_lock);
        // a kept block of up to twice the request serves it; a larger one would hold
        // too much memory for the life of the result
        if (kept && kept_size >= size && kept_size / 2 <= size) {
            unsigned char* p = kept;
            kept = nullptr;
            kept_size = 0;
            return p;
        }
    }
    auto* p = static_cast<unsigned char*>(std::malloc(size));
    if (p && size >= kLarge)
        prefer_huge_pages(p, size);
    return p;
}

void image_rows_release(unsigned char* rows)
{
    if (!rows)
        return;
    if (shared_rows_free(rows))
        return;
    const std::size_t n = usable_size(rows);
    if (n < kLarge) {
        std::free(rows);
        return;
    }
    let_kernel_reclaim(rows, n);
    unsigned char* old = nullptr;
    {
        std::lock_guard<std::mutex> hold(kept_lock);
        old = kept;
        kept = rows;
        kept_size = n;
    }
    std::free(old);
}

void image_rows_drop_kept()
{
    unsigned char* old = nullptr;
    {
        std::lock_guard<std::mutex> hold(kept_lock);
        old = kept;
        kept = nullptr;
        kept_size = 0;
    }
    std::free(old);
}

_bmap* image_new_result(int w, int h)
{
    _bmap* bm = new _bmap;
    const int size = _bmap_bytes(w, h, 24);
    bm->bits = size > 0 ? image_rows_for_overwrite(static_cast<std::size_t>(size)) : nullptr;
    if (!bm->bits) {
        image_fatal("_bmap::_bmap", "could not allocate b");
        return bm;
    }
    bm->width = w;
    bm->height = h;
    bm->depth = 24;
    bm->size = size;
    bm->update_info();
    // the pixels are the caller's to write; the padding is not, and a reused block
    // still holds an earlier picture's bytes there
    const int used = w * 3;
    if (bm->stride > used)
        for (int y = 0; y < h; ++y)
            std::memset(bm->bits + static_cast<std::ptrdiff_t>(y) * bm->stride + used, 0,
                        static_cast<std::size_t>(bm->stride - used));
    return bm;
}
