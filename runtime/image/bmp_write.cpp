// Pictures leaving the runtime: packed DIBs of bitmaps and pages in global memory,
// and BMP files (a 14-byte file header in front of the DIB).
#include "ostrel/bmap.h"
#include "ostrel/pages.h"
#include "platform/gdi/winclip.h"
#include "platform/gdi/wingdi.h"
#include "runtime/image/image_internal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/uio.h>
#include <unistd.h>

namespace {

// The 14-byte file header in front of a DIB block of `total` bytes.
void file_header(unsigned char* fh, std::uint32_t total, const ostrel_bitmapinfoheader* h)
{
    fh[0] = 0x42;
    fh[1] = 0x4D;
    image_put32(fh + 2, total + 14);
    image_put16(fh + 6, 0);
    image_put16(fh + 8, 0);
    image_put32(fh + 10, static_cast<std::uint32_t>(_palette_bytes(h)) + 54);
}

// The bitmap's header as a bottom-up DIB header.
ostrel_bitmapinfoheader dib_header(const _bmap* bm)
{
    ostrel_bitmapinfoheader h = bm->info.bmiHeader;
    h.biSize = 40;
    h.biWidth = bm->width;
    h.biHeight = bm->height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = 0;
    h.biSizeImage = static_cast<std::uint32_t>(_bmap_bytes(bm->width, bm->height, 24));
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    return h;
}

constexpr std::size_t kBatch = 512;

// Writes every byte the vectors describe, resuming after short writes.
bool write_all(int fd, std::vector<iovec>& iov)
{
    std::size_t at = 0;
    while (at < iov.size()) {
        const int n = static_cast<int>(std::min<std::size_t>(iov.size() - at, kBatch));
        const ssize_t done = ::writev(fd, iov.data() + at, n);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (done == 0)
            return false;
        std::size_t left = static_cast<std::size_t>(done);
        while (at < iov.size() && left >= iov[at].iov_len)
            left -= iov[at++].iov_len;
        if (at < iov.size() && left) {
            iov[at].iov_base = static_cast<unsigned char*>(iov[at].iov_base) + left;
            iov[at].iov_len -= left;
        }
    }
    return true;
}

} // namespace

void* _bmap_to_dib(const _bmap* bm, int* total)
{
    if (!image_bmap_valid(bm))
        return nullptr;
    const ostrel_bitmapinfoheader h = dib_header(bm);
    const int image = _bmap_bytes(bm->width, bm->height, 24);
    if (image < 0 || image > 0x7FFFFFFF - 40 - 1024)
        return nullptr;
    const int all = _palette_bytes(&h) + image + 40;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<std::size_t>(all));
    if (!block)
        return nullptr;
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, &h, 40);
    unsigned char* rows = p + 40 + _palette_bytes(&h);
    const std::size_t pixels = static_cast<std::size_t>(bm->width) * 3;
    const int rowbytes = _bmap_bytes(bm->width, 1, 24);
    for (int i = 0; i < bm->height; ++i)   // padding stays zero, whatever the bitmap holds there
        std::memcpy(rows + static_cast<std::size_t>(i) * rowbytes,
                    bm->bits + static_cast<std::size_t>(bm->height - 1 - i) * bm->stride, pixels);
    GlobalUnlock(block);
    if (total)
        *total = all;
    return block;
}

int _bmap_savebmp(const char* name, const _bmap* bm)
{
    if (!name)
        return 0;
    FILE* f = std::fopen(name, "wb");
    if (!f)
        return 0;
    if (!image_bmap_valid(bm)) {
        std::fclose(f);
        return 0;
    }
    // Same bytes as the DIB block behind a file header, written row by row straight
    // from the bitmap: a copy of the whole picture first would double the work.
    const ostrel_bitmapinfoheader h = dib_header(bm);
    const int image = _bmap_bytes(bm->width, bm->height, 24);
    const std::uint32_t all = static_cast<std::uint32_t>(image) + 40;
    unsigned char head[54];
    file_header(head, all, &h);
    std::memcpy(head + 14, &h, 40);
    bool ok = std::fwrite(head, 54, 1, f) == 1 && std::fflush(f) == 0;
    const std::size_t pixels = static_cast<std::size_t>(bm->width) * 3;
    const std::size_t pad = static_cast<std::size_t>(_bmap_bytes(bm->width, 1, 24)) - pixels;
    static const unsigned char zeros[4] = {0, 0, 0, 0};
    // The rows go out in batches of one gathering write each: no copy of the picture,
    // and a few system calls rather than one per row.
    std::vector<iovec> iov;
    iov.reserve(kBatch);
    for (int i = bm->height - 1; ok && i >= 0; --i) {
        iov.push_back({bm->bits + static_cast<std::size_t>(i) * bm->stride, pixels});
        if (pad)
            iov.push_back({const_cast<unsigned char*>(zeros), pad});
        if (iov.size() + 2 > kBatch || i == 0) {
            ok = write_all(fileno(f), iov);
            iov.clear();
        }
    }
    if (std::fclose(f) != 0)
        ok = false;
    return ok ? 1 : 0;
}

void* _page_to_dib(int page, int* total, short depth)
{
    if (depth != 16 && depth != 24 && depth != 32)
        return nullptr;
    if (!_ispage(page))
        return nullptr;
    _pageinfo pi = _getpageinfo(page);
    if (!pi.dc || !pi.bitmap)
        return nullptr;
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = 40;
    bi.bmiHeader.biBitCount = 0;
    if (GetDIBits(pi.dc, pi.bitmap, 0, static_cast<UINT>(pi.height), nullptr, &bi, DIB_RGB_COLORS) == 0)
        return nullptr;
    BITMAPINFOHEADER& h = bi.bmiHeader;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(depth);
    h.biCompression = BI_RGB;
    const int image = _bmap_bytes(h.biWidth, h.biHeight, depth);
    if (h.biWidth < 1 || h.biHeight < 1 || image <= 0 || image > 0x7FFFFFFF - 40)
        return nullptr;
    const int all = _palette_bytes(&h) + image + 40;
    h.biSizeImage = static_cast<DWORD>(image);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<std::size_t>(all));
    if (!block)
        return nullptr;
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, &h, 40);
    if (GetDIBits(pi.dc, pi.bitmap, 0, static_cast<UINT>(h.biHeight), p + 40, &bi, DIB_RGB_COLORS) == 0) {
        GlobalUnlock(block);
        GlobalFree(block);
        return nullptr;
    }
    GlobalUnlock(block);
    if (total)
        *total = all;
    return block;
}

// The file header and the block; the block is freed in every case.
static int write_block(FILE* stream, HGLOBAL block, int total)
{
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return 0;
    }
    unsigned char fh[14];
    file_header(fh, static_cast<std::uint32_t>(total), reinterpret_cast<const ostrel_bitmapinfoheader*>(p));
    bool ok = std::fwrite(fh, 14, 1, stream) == 1 &&
              std::fwrite(p, 1, static_cast<std::size_t>(total), stream) == static_cast<std::size_t>(total);
    GlobalUnlock(block);
    GlobalFree(block);
    return ok ? 1 : 0;
}

int _page_to_bmpfile(FILE* stream, int page, int depth)
{
    if (!stream)
        return 0;
    int total = 0;
    HGLOBAL block = _page_to_dib(page, &total, static_cast<short>(depth));
    if (!block)
        return 0;
    return write_block(stream, block, total);
}

int _savebmp(const char* name, int page, int depth)
{
    if (!name)
        return 0;
    // Capture first: a page that cannot be captured must not cost the user the file
    // that the name already holds.
    int total = 0;
    HGLOBAL block = _page_to_dib(page, &total, static_cast<short>(depth));
    if (!block)
        return 0;
    FILE* f = std::fopen(name, "wb");
    if (!f) {
        GlobalFree(block);
        return 0;
    }
    int r = write_block(f, block, total);
    if (std::fclose(f) != 0)
        r = 0;
    return r;
}
