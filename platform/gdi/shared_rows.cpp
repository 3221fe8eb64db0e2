// Memory files as bitmap rows, and read-only views of them for recordings.
#include "platform/gdi/shared_rows.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>
#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// Each live block keeps its file open, so that an unwritten block can be viewed again.
constexpr std::size_t kMaxBlocks = 64;

struct Block {
    std::size_t size = 0;
    int fd = -1;
    bool privateView = false;                    // the owner's view no longer writes the file
    std::weak_ptr<const SharedRowsView> last;    // the latest view, while a recording holds it
};

std::mutex lock;
std::map<const unsigned char*, Block>& blocks()
{
    static std::map<const unsigned char*, Block> b;
    return b;
}

#if defined(__linux__)
// True when the owner may have written a page of its private view: such a page is
// no longer the file's but an anonymous copy (or swapped out). When the page table
// cannot be read, the rows count as written.
bool written(const unsigned char* base, std::size_t size)
{
    const long page = sysconf(_SC_PAGESIZE);
    if (page <= 0)
        return true;
    const int fd = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    constexpr std::uint64_t kPresent = std::uint64_t(1) << 63, kSwapped = std::uint64_t(1) << 62,
                            kFilePage = std::uint64_t(1) << 61;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(base) / std::uintptr_t(page);
    const std::uintptr_t count = (size + std::size_t(page) - 1) / std::size_t(page);
    std::vector<std::uint64_t> entries(4096);
    bool any = false;
    for (std::uintptr_t done = 0; done < count && !any;) {
        const std::size_t n = std::size_t(std::min<std::uintptr_t>(entries.size(), count - done));
        const ssize_t got = pread(fd, entries.data(), n * 8, off_t((first + done) * 8));
        if (got != ssize_t(n * 8)) {
            any = true;
            break;
        }
        for (std::size_t i = 0; i < n && !any; ++i)
            any = (entries[i] & kSwapped) || ((entries[i] & kPresent) && !(entries[i] & kFilePage));
        done += n;
    }
    close(fd);
    return any;
}

std::shared_ptr<const SharedRowsView> map_view(const Block& b)
{
    void* view = mmap(nullptr, b.size, PROT_READ, MAP_SHARED, b.fd, 0);
    if (view == MAP_FAILED)
        return nullptr;
    return std::make_shared<const SharedRowsView>(static_cast<const unsigned char*>(view), b.size);
}
#endif

} // namespace

SharedRowsView::~SharedRowsView()
{
#if defined(__linux__)
    munmap(const_cast<unsigned char*>(base_), size_);
#endif
}

unsigned char* shared_rows_allocate(std::size_t size)
{
#if defined(__linux__) && defined(MFD_CLOEXEC)
    if (size < kSharedRowsMin)
        return nullptr;
    std::lock_guard<std::mutex> hold(lock);
    if (blocks().size() >= kMaxBlocks)
        return nullptr;
    const int fd = memfd_create("ostrel-rows", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void* p = ftruncate(fd, off_t(size)) == 0 ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                                              : MAP_FAILED;
    if (p == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
#if defined(MADV_HUGEPAGE)
    madvise(p, size, MADV_HUGEPAGE);   // only advice: most systems give memory files none
#endif
    auto* rows = static_cast<unsigned char*>(p);
    blocks()[rows] = Block{size, fd, false, {}};
    return rows;
#else
    (void)size;
    return nullptr;
#endif
}

bool shared_rows_free(unsigned char* rows)
{
#if defined(__linux__)
    std::lock_guard<std::mutex> hold(lock);
    auto it = blocks().find(rows);
    if (it == blocks().end())
        return false;
    munmap(rows, it->second.size);
    close(it->second.fd);
    blocks().erase(it);
    return true;
#else
    (void)rows;
    return false;
#endif
}

std::shared_ptr<const SharedRowsView> shared_rows_snapshot(const unsigned char* p, std::size_t n,
                                                           std::size_t& offset)
{
#if defined(__linux__)
    std::lock_guard<std::mutex> hold(lock);
    auto it = blocks().upper_bound(p);
    if (!p || it == blocks().begin())
        return nullptr;
    --it;
    unsigned char* base = const_cast<unsigned char*>(it->first);
    Block& b = it->second;
    if (p < base || std::size_t(p - base) > b.size || n > b.size - std::size_t(p - base))
        return nullptr;
    offset = std::size_t(p - base);
    if (b.privateView) {
        if (written(base, b.size))
            return nullptr;
        if (auto v = b.last.lock())
            return v;
        auto v = map_view(b);
        b.last = v;
        return v;
    }
    auto v = map_view(b);
    if (!v)
        return nullptr;
    // The owner's view becomes a private view of the same file, at the same address and
    // with the same contents: the file keeps what the view holds, the owner's next
    // writes go to its own pages. The private view is made elsewhere and then moved
    // over the old one, so that a failure leaves the owner's rows where they were.
    void* mine = mmap(nullptr, b.size, PROT_READ | PROT_WRITE, MAP_PRIVATE, b.fd, 0);
    if (mine == MAP_FAILED)
        return nullptr;
    if (mremap(mine, b.size, b.size, MREMAP_MAYMOVE | MREMAP_FIXED, base) == MAP_FAILED) {
        munmap(mine, b.size);
        return nullptr;
    }
    b.privateView = true;
    b.last = v;
    return v;
#else
    (void)p, (void)n, (void)offset;
    return nullptr;
#endif
}
