// Icons and cursors, and the associated-icon picture that stands in for a file no
// decoder could read. On Linux the associated icon is the file's own picture for
// .ico and .cur files, else the icon of its MIME type in the desktop's icon theme,
// else the shell's plain document icon; icons are drawn through GDI.
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/shellapi.h"
#include "platform/win/winuser.h"
#include "runtime/image/image_deps.h"
#include "runtime/image/image_internal.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// System metrics of icons and cursors (Win32 numbers).
enum : int { kCxIcon = 11, kCyIcon = 12, kCxCursor = 13, kCyCursor = 14 };

int metric(int index)
{
    int v = GetSystemMetrics(index);
    return v > 0 && v <= 256 ? v : 32;
}

// The picture of an .ico or .cur file as an icon; null for other files.
HICON file_icon(const char* name, int w)
{
    const std::string ext = image_extension(name);
    if (ext != ".ICO" && ext != ".CUR")
        return nullptr;
    unsigned char* data;
    std::size_t size;
    if (!image_read_file(name, &data, &size, 16u * 1024 * 1024))
        return nullptr;
    IcoImage ico;
    bool ok = image_ico_decode(data, size, w, &ico);
    std::free(data);
    if (!ok)
        return nullptr;
    return CreateIcon(nullptr, ico.width, ico.height, 1, 32, nullptr,
                      reinterpret_cast<const BYTE*>(ico.argb.data()));
}

// The icon of a file, always found on Linux (the shell's document icon is the
// last resort).
HICON associated_icon(const char* name, int w)
{
    if (HICON icon = file_icon(name, w))
        return icon;
    SHFILEINFOA sfi;
    SHGetFileInfoA(name, 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_LARGEICON);
    return sfi.hIcon;
}

// A bitmap of w x h on the background colour (0x00BBGGRR) with the icon drawn at
// (0, 0) in the icon size, cut at the bitmap's edges. The icon is freed.
_bmap* draw_icon(HICON icon, int w, int h, std::uint32_t background)
{
    _bmap* bm = _bmap_try_new(w, h);
    if (!bm) {
        DestroyIcon(icon);
        return nullptr;
    }
    const int iw = metric(kCxIcon), ih = metric(kCyIcon);
    const int cw = w < iw ? w : iw, ch = h < ih ? h : ih;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(dc, cw, ch);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all{0, 0, cw, ch};
    HBRUSH fill = CreateSolidBrush(background & 0xFFFFFF);
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    DrawIconEx(dc, 0, 0, icon, iw, ih, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    SelectObject(dc, old);
    // the drawn corner as 24-bit rows, top row first
    const std::size_t cstride = (static_cast<std::size_t>(cw) * 3 + 3) & ~std::size_t(3);
    std::vector<unsigned char> rows(cstride * static_cast<std::size_t>(ch));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cw;
    bi.bmiHeader.biHeight = -ch;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const bool drawn = GetDIBits(dc, canvas, 0, UINT(ch), rows.data(), &bi, DIB_RGB_COLORS) == ch;
    DeleteObject(canvas);
    DeleteDC(dc);
    const unsigned char b = static_cast<unsigned char>(background >> 16), g = static_cast<unsigned char>(background >> 8),
                        r = static_cast<unsigned char>(background);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = bm->bits + static_cast<std::size_t>(y) * bm->stride;
        const unsigned char* src = drawn && y < ch ? rows.data() + static_cast<std::size_t>(y) * cstride : nullptr;
        for (int x = 0; x < w; ++x) {
            if (src && x < cw) {
                std::memcpy(row + x * 3, src + x * 3, 3);
            } else {
                row[x * 3] = b;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = r;
            }
        }
    }
    return bm;
}

std::uint32_t page_background()
{
    return image_page_background() & 0xFFFFFF;
}

} // namespace

int _geticon_size(const char*, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!width || !height || !xdpi || !ydpi)
        return 0;
    *width = metric(kCxIcon);
    *height = metric(kCyIcon);
    *xdpi = image_screen_dpix();
    *ydpi = image_screen_dpiy();
    return 1;
}

int _getcursor_size(const char*, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!width || !height || !xdpi || !ydpi)
        return 0;
    *width = metric(kCxCursor);
    *height = metric(kCyCursor);
    *xdpi = image_screen_dpix();
    *ydpi = image_screen_dpiy();
    return 1;
}

_bmap* _associated_icon_bmap(const char* name, std::uint32_t background)
{
    if (!name)
        return nullptr;
    const int w = metric(kCxIcon), h = metric(kCyIcon);
    return draw_icon(associated_icon(name, w), w, h, background == 0xFFFFFF ? page_background() : background);
}

_bmap* _geticon_bmap(const char* name)
{
    if (!name)
        return nullptr;
    int w = 0, h = 0, xdpi = 0, ydpi = 0;
    if (!_getfile_size(name, &w, &h, &xdpi, &ydpi))
        return nullptr;
    _bmap* bm = draw_icon(associated_icon(name, metric(kCxIcon)), w, h, page_background());
    if (bm)
        bm->set_dpi(xdpi, ydpi);
    return bm;
}
