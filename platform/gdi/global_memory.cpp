// Global memory blocks (GlobalAlloc and friends) for DIBs and metafile
// pictures. A handle is the block's address, whether fixed or movable, so
// locking never moves anything; handles are checked against the live blocks.
#include "platform/gdi/winclip.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {
std::unordered_map<void*, std::size_t>& blocks()
{
    static std::unordered_map<void*, std::size_t> b;
    return b;
}
}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    if (bytes > (std::size_t(1) << 31)) return nullptr;
    void* p = std::malloc(bytes ? bytes : 1);
    if (!p) return nullptr;
    if (flags & GMEM_ZEROINIT) std::memset(p, 0, bytes ? bytes : 1);
    blocks()[p] = bytes;
    return p;
}

void* GlobalLock(HGLOBAL block) { return block && blocks().count(block) ? block : nullptr; }

BOOL GlobalUnlock(HGLOBAL block)
{
    (void)block;
    return FALSE;   // no lock count remains
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    if (!block) return nullptr;
    auto it = blocks().find(block);
    if (it == blocks().end()) return block;
    blocks().erase(it);
    std::free(block);
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL block)
{
    auto it = blocks().find(block);
    return it == blocks().end() ? 0 : it->second;
}
