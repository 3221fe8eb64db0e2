// Pictures into and out of off-screen pages: bitmap objects, packed DIBs (from
// memory, the clipboard or a BMP stream) and plain fills.
#include "runtime/pages/page_internal.h"
#include "platform/gdi/winclip.h"
#include "ostrel/bmap.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const BITMAPINFO* info_of(const _bmap* bm)
{
    return reinterpret_cast<const BITMAPINFO*>(&bm->info);
}

// Colour table bytes of a header, without overflow (0 when absurd).
std::uint64_t palette_bytes(const BITMAPINFOHEADER* h)
{
    if (h->biClrUsed)
        return std::uint64_t(h->biClrUsed) * 4;
    if (h->biBitCount <= 8)
        return std::uint64_t(4) << h->biBitCount;
    return 0;
}

// Where the rows of a packed DIB begin when the caller does not say: after the
// header, the three channel masks of a bit-field DIB, and the colour table.
std::uint64_t default_data_offset(const BITMAPINFOHEADER* h)
{
    std::uint64_t off = h->biSize + palette_bytes(h);
    if (h->biCompression == BI_BITFIELDS && h->biSize == 40)
        off += 12;
    return off;
}

// The header values SetDIBits can take at all: a width and height that fit the
// runtime's size limit, a known bit count.
bool header_ok(const BITMAPINFOHEADER* h)
{
    // The largest header Windows defines is 124 bytes; anything far beyond is no DIB.
    if (h->biSize < 40 || h->biSize > 4096 || h->biWidth < 1 || h->biHeight == 0 || h->biHeight == INT32_MIN)
        return false;
    switch (h->biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    long long height = h->biHeight < 0 ? -(long long)h->biHeight : h->biHeight;
    return _bmap_size_ok(h->biWidth, height, 32);
}

int rows_of(const BITMAPINFOHEADER* h)
{
    return h->biHeight < 0 ? -h->biHeight : h->biHeight;
}

// The DIB into an off-screen page of its size; 1 when every row was set.
int set_rows(int page, const BITMAPINFO* dib, const void* data)
{
    const BITMAPINFOHEADER* h = &dib->bmiHeader;
    int rows = rows_of(h);
    if (!_newmempage(h->biWidth, rows, page))
        return 0;
    _page* pg = _pagerecord(page);
    if (!pg || !pg->dc)
        return 0;
    return SetDIBits(pg->dc, pg->bitmap, 0, UINT(rows), data, dib, DIB_RGB_COLORS) == rows ? 1 : 0;
}

// A DIB block of known size, every part checked against it before anything is
// read. Compressed rows have no size of their own: they go through the
// bounds-checked decoder instead.
int dib_block_to_page(int page, const void* block, std::size_t size)
{
    if (!block || size < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER h;
    std::memcpy(&h, block, sizeof h);
    if (!header_ok(&h) || h.biSize > size)
        return 0;
    std::uint64_t offset = default_data_offset(&h);
    if (offset > size)
        return 0;
    if (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS) {
        std::uint64_t row = ((std::uint64_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
        if (row * std::uint64_t(rows_of(&h)) > size - offset)
            return 0;
        // The block may sit anywhere in memory: the header is read from an
        // aligned copy when it is not aligned itself.
        if (reinterpret_cast<std::uintptr_t>(block) % alignof(BITMAPINFOHEADER) == 0)
            return set_rows(page, static_cast<const BITMAPINFO*>(block),
                            static_cast<const BYTE*>(block) + offset);
        std::vector<std::uint32_t> copy((offset + 3) / 4);
        std::memcpy(copy.data(), block, offset);
        return set_rows(page, reinterpret_cast<const BITMAPINFO*>(copy.data()),
                        static_cast<const BYTE*>(block) + offset);
    }
    _bmap* bm = _dib_decode(block, size, std::size_t(offset));
    if (!bm)
        return 0;
    int rows = _bmap_to_page(bm, page, 0, 0);
    int ok = rows == bm->height ? 1 : 0;
    delete bm;
    return ok;
}

} // namespace

int _bmap_to_page(_bmap* bitmap, int page, int x, int y)
{
    if (!bitmap || !bitmap->bits || bitmap->width < 1 || bitmap->height < 1)
        return 0;
    if (x < 0 || y < 0)
        return 0;
    int w = bitmap->width, h = bitmap->height;
    if (x == 0 && y == 0) {
        if (!_newmempage(w, h, page))
            return 0;
        _page* pg = _pagerecord(page);
        if (!pg || !pg->dc)
            return 0;
        return SetDIBits(pg->dc, pg->bitmap, 0, UINT(h), bitmap->bits, info_of(bitmap), DIB_RGB_COLORS);
    }
    _page* pg = _pagerecord(page);
    if (!pg || pg->kind != PAGE_MEMORY || w > pg->width - x || h > pg->height - y) {
        long long nw = (long long)x + w, nh = (long long)y + h;
        if (nw > INT_MAX || nh > INT_MAX)
            return 0;
        if (!_newmempage(int(nw), int(nh), page))
            return 0;
        pg = _pagerecord(page);
        if (!pg || !pg->dc)
            return 0;
    }
    return SetDIBitsToDevice(pg->dc, x, y, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), bitmap->bits,
                             info_of(bitmap), DIB_RGB_COLORS);
}

_bmap* _page_to_bmap(int page)
{
    _pageinfo info = _getpageinfo(page);
    if (info.kind != PAGE_MEMORY || info.width < 1 || info.height < 1 || !info.dc)
        return nullptr;
    int w = int(info.width), h = int(info.height);
    _bmap* bm = new _bmap(w, h, 24);
    int rows = GetDIBits(info.dc, info.bitmap, 0, UINT(h), bm->bits,
                         reinterpret_cast<BITMAPINFO*>(&bm->info), DIB_RGB_COLORS);
    if (rows == 0) {
        delete bm;
        return nullptr;
    }
    // The call may have filled in header fields of its own; the object keeps its
    // one header layout.
    bm->update_info();
    return bm;
}

int _dib_to_page(int page, const BITMAPINFO* dib, const void* data)
{
    if (!dib)
        return 0;
    const BITMAPINFOHEADER* h = &dib->bmiHeader;
    if (!header_ok(h))
        return 0;
    if (!data)
        data = reinterpret_cast<const BYTE*>(dib) + default_data_offset(h);
    return set_rows(page, dib, data);
}

int _clipdib_to_page(int page)
{
    int r = 0;
    if (!OpenClipboard(page_console_window()))
        return 0;
    if (HGLOBAL block = GetClipboardData(CF_DIB)) {
        if (const void* p = GlobalLock(block)) {
            r = dib_block_to_page(page, p, GlobalSize(block));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return r;
}

int _bmpfile_to_page(FILE* stream, int page)
{
    if (!stream)
        return 0;
    BITMAPFILEHEADER fh;
    if (std::fread(&fh, sizeof fh, 1, stream) != 1 || fh.bfType != 0x4D42)
        return 0;
    if (fh.bfSize < sizeof fh + sizeof(BITMAPINFOHEADER))
        return 0;
    // The header's size is a claim: memory grows only with bytes actually read.
    std::size_t want = fh.bfSize - sizeof fh;
    std::vector<std::uint32_t> buf;
    std::size_t have = 0;
    while (have < want) {
        std::size_t chunk = std::min<std::size_t>(want - have, std::size_t(1) << 20);
        buf.resize((have + chunk + 3) / 4);
        std::size_t got = std::fread(reinterpret_cast<BYTE*>(buf.data()) + have, 1, chunk, stream);
        have += got;
        if (got < chunk)
            return 0;
    }
    return dib_block_to_page(page, buf.data(), want);
}

int _fillpage(int page, unsigned int colour)
{
    _page* pg = _pagerecord(page);
    if (!pg || !pg->dc)
        return 0;
    _pageinfo info = _getpageinfo(page);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r{0, 0, page_trunc(info.width), page_trunc(info.height)};
    FillRect(pg->dc, &r, brush);
    DeleteObject(brush);
    return 1;
}
