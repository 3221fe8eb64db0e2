// Pictures of the program on the clipboard as packed DIBs: the image of an
// off-screen page and a bitmap object (its top-down rows turned bottom-up).
#include "runtime/pages/clip_transfer.h"

#include "ostrel/bmap.h"
#include "ostrel/clipboard.h"
#include "ostrel/pages.h"
#include "platform/gdi/winclip.h"
#include "platform/gdi/wingdi.h"

#include <cstring>

int clip_hand_over(HWND owner, UINT format, HGLOBAL block)
{
    if (!block)
        return 0;
    if (!OpenClipboard(owner)) {
        if (format == CF_METAFILEPICT) {
            if (auto* mp = static_cast<METAFILEPICT*>(GlobalLock(block)))
                DeleteMetaFile(mp->hMF);
        }
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    SetClipboardData(format, block);
    CloseClipboard();
    return 1;
}

int _copypagedib(int page)
{
    int size = 0;
    // only an off-screen page has an image to read; nothing is touched otherwise
    void* block = _page_to_dib(page, &size, 24);
    if (!block)
        return 0;
    return clip_hand_over(_pagewindow(0), CF_DIB, block);
}

int _copybmapdib(const _bmap* bitmap)
{
    // The rows are copied as whole strides, so they must be exactly the DIB's rows.
    if (!bitmap || !bitmap->bits || bitmap->depth != 24 || bitmap->width < 1 || bitmap->height < 1 ||
        bitmap->stride != _bmap_bytes(bitmap->width, 1, 24) || bitmap->size < 0 ||
        static_cast<long long>(bitmap->stride) * bitmap->height > bitmap->size)
        return 0;
    const std::size_t size = static_cast<std::size_t>(bitmap->size);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size + 40);
    if (!block)
        return 0;
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    ostrel_bitmapinfoheader h{};
    h.biSize = 40;
    h.biWidth = bitmap->width;
    h.biHeight = bitmap->height;   // positive: bottom-up rows
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(bitmap->depth);
    h.biCompression = 0;
    h.biSizeImage = 0;
    h.biXPelsPerMeter = bitmap->info.bmiHeader.biXPelsPerMeter;
    h.biYPelsPerMeter = bitmap->info.bmiHeader.biYPelsPerMeter;
    std::memcpy(p, &h, 40);
    const std::size_t stride = static_cast<std::size_t>(bitmap->stride);
    const std::size_t rows = stride * static_cast<std::size_t>(bitmap->height);
    unsigned char* out = p + 40;
    for (int i = 0; i < bitmap->height; ++i)
        std::memcpy(out + static_cast<std::size_t>(bitmap->height - 1 - i) * stride,
                    bitmap->bits + static_cast<std::size_t>(i) * stride, stride);
    if (size > rows)   // a block larger than its rows: nothing unset goes out
        std::memset(out + rows, 0, size - rows);
    GlobalUnlock(block);
    return clip_hand_over(_pagewindow(0), CF_DIB, block);
}
