// Files on the clipboard: a BMP file as the packed DIB behind its file header,
// a placeable metafile file as a metafile picture in hundredths of an inch.
// Every size a file claims is checked against the bytes it has before memory
// is taken for it, and a file that fails leaves the clipboard as it was.
#include "runtime/pages/clip_transfer.h"

#include "ostrel/bmap.h"
#include "ostrel/clipboard.h"
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "platform/gdi/winclip.h"
#include "platform/gdi/wingdi.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace {

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Bytes of an open regular file; -1 for anything else (a pipe or a directory
// has no size to check a claim against).
long long file_bytes(FILE* f)
{
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

// A packed DIB the clipboard can carry: a Windows header of a known bit count,
// its colour table and its rows inside the block.
bool dib_block_ok(const unsigned char* p, std::size_t n)
{
    if (n < 40)
        return false;
    ostrel_bitmapinfoheader h;
    std::memcpy(&h, p, 40);
    if (h.biSize < 40 || h.biSize > n || h.biWidth < 1 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biPlanes != 1)
        return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    std::uint64_t info = std::uint64_t(h.biSize) + std::uint64_t(_palette_bytes(&h));
    if (h.biCompression == BI_BITFIELDS && h.biSize == 40)
        info += 12;
    if (info > n)
        return false;
    const std::uint64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
    switch (h.biCompression) {
    case BI_RGB:
    case BI_BITFIELDS:
        return ((std::uint64_t(h.biWidth) * h.biBitCount + 31) / 32) * 4 * height <= n - info;
    case BI_RLE8:
    case BI_RLE4:
        return h.biSizeImage > 0 && h.biSizeImage <= n - info;
    default:
        return false;
    }
}

// The file's METAFILEHEADER (after the placeable header, where `f` stands) must
// announce no more words than the file holds: a cut file is refused even when
// it ends between two records. The stream is left where it was.
bool metafile_whole(FILE* f, long long filesize)
{
    const long pos = std::ftell(f);
    unsigned char h[18];
    if (pos < 0 || std::fread(h, 1, sizeof h, f) != sizeof h || std::fseek(f, pos, SEEK_SET) != 0)
        return false;
    const std::uint64_t words = le32(h + 6);
    return words * 2 <= static_cast<std::uint64_t>(filesize - pos);
}

} // namespace

int _copyfile(const char* name)
{
    if (!name)
        return 0;
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return 0;
    if (strcasecmp(dot, ".BMP") == 0)
        return _copybmpfile(name);
    if (strcasecmp(dot, ".WMF") == 0)
        return _copywmffile(name);
    return 0;
}

int _copybmpfile(const char* name)
{
    if (!name)
        return 0;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return 0;
    unsigned char fh[14];
    const long long filesize = file_bytes(f);
    if (filesize < 0 || std::fread(fh, 1, 14, f) != 14 || fh[0] != 'B' || fh[1] != 'M') {
        std::fclose(f);
        return 0;
    }
    // bfSize is only a claim: below a header, or beyond the file, nothing is taken.
    const std::uint32_t bfsize = le32(fh + 2);
    if (bfsize < 14 + 40 || bfsize > filesize) {
        std::fclose(f);
        return 0;
    }
    const std::size_t n = bfsize - 14;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
    auto* p = block ? static_cast<unsigned char*>(GlobalLock(block)) : nullptr;
    const bool read = p && std::fread(p, n, 1, f) == 1;
    std::fclose(f);
    if (!read || !dib_block_ok(p, n)) {
        GlobalFree(block);
        return 0;
    }
    GlobalUnlock(block);
    return clip_hand_over(_pagewindow(0), CF_DIB, block);
}

int _copywmffile(const char* name)
{
    if (!name)
        return 0;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return 0;
    const long long filesize = file_bytes(f);
    _wmfile wf;
    if (!wf.read_header(f))
        return 0;   // the reader closed the stream
    if (filesize < 0 || wf.header.key != 0x9AC6CDD7u || !metafile_whole(f, filesize) || !wf.load(f)) {
        std::fclose(f);
        return 0;
    }
    std::fclose(f);
    const ostrel_placeable_header& ph = wf.header;
    const int w = ph.right - ph.left, h = ph.bottom - ph.top;
    if (ph.inch == 0 || w <= 0 || h <= 0)
        return 0;
    const LONG xext = static_cast<LONG>(w / static_cast<double>(ph.inch) * 100);
    const LONG yext = static_cast<LONG>(h / static_cast<double>(ph.inch) * 100);
    if (xext < 1 || yext < 1)
        return 0;
    // The memory copy outlives the reader. It starts by naming the file's frame,
    // so whoever draws it finds the placeable bounds in it.
    HDC rec = CreateMetaFileA(nullptr);
    if (!rec)
        return 0;
    SetWindowOrgEx(rec, ph.left, ph.top, nullptr);
    SetWindowExtEx(rec, w, h, nullptr);
    PlayMetaFile(rec, wf.mf);
    HMETAFILE copy = CloseMetaFile(rec);
    if (!copy)
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    auto* mp = block ? static_cast<METAFILEPICT*>(GlobalLock(block)) : nullptr;
    if (!mp) {
        GlobalFree(block);
        DeleteMetaFile(copy);
        return 0;
    }
    *mp = METAFILEPICT{MM_LOENGLISH, xext, yext, copy};
    GlobalUnlock(block);
    return clip_hand_over(_ispage(1) ? _pagewindow(1) : nullptr, CF_METAFILEPICT, block);
}
