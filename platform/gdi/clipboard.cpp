// The clipboard over QClipboard for pictures: a CF_DIB block travels as
// image/bmp and as an image, a CF_METAFILEPICT picture as image/x-wmf (a
// placeable metafile) and as an image of its on-screen size. Blocks given to
// the clipboard are owned by it; blocks it hands out stay valid until the next
// EmptyClipboard.
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/winclip.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cmath>
#include <cstring>

namespace {
struct ClipState {
    bool open = false;
    std::vector<std::pair<UINT, HGLOBAL>> pending;   // set since the last EmptyClipboard
    bool emptied = false;
    std::vector<HGLOBAL> handedOut;                  // results of GetClipboardData
    std::vector<HMETAFILE> handedOutMf;
};
ClipState& cs()
{
    static ClipState s;
    return s;
}

QClipboard* clip() { return qGuiApp ? QGuiApplication::clipboard() : nullptr; }

void free_block(UINT format, HGLOBAL h)
{
    if (!h) return;
    if (format == CF_METAFILEPICT) {
        if (auto* mp = static_cast<METAFILEPICT*>(GlobalLock(h)); mp && GlobalSize(h) >= sizeof(METAFILEPICT))
            DeleteMetaFile(mp->hMF);
    }
    GlobalFree(h);
}

void forget_handed_out()
{
    for (HGLOBAL h : cs().handedOut) GlobalFree(h);
    for (HMETAFILE m : cs().handedOutMf) DeleteMetaFile(m);
    cs().handedOut.clear();
    cs().handedOutMf.clear();
}

QByteArray bmp_file_of_dib(const BYTE* dib, std::size_t size)
{
    if (size < 40) return {};
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, 40);
    std::size_t colors = gdi_dib_colors_bytes(h, DIB_RGB_COLORS);
    BITMAPFILEHEADER f{};
    f.bfType = 0x4D42;
    f.bfSize = DWORD(14 + size);
    f.bfOffBits = DWORD(14 + h.biSize + colors);
    QByteArray out(reinterpret_cast<const char*>(&f), 14);
    out.append(reinterpret_cast<const char*>(dib), qsizetype(size));
    return out;
}

void publish_dib(QMimeData* md, HGLOBAL h)
{
    const auto* dib = static_cast<const BYTE*>(GlobalLock(h));
    std::size_t size = GlobalSize(h);
    if (!dib || size < 40) return;
    BITMAPINFOHEADER bh;
    std::memcpy(&bh, dib, 40);
    std::size_t hs = bh.biSize < 40 ? 40 : bh.biSize;
    std::size_t colors = gdi_dib_colors_bytes(bh, DIB_RGB_COLORS);
    if (hs + colors > size) return;
    QImage img = gdi_dib_to_image(dib, hs + colors, dib + hs + colors, size - hs - colors, DIB_RGB_COLORS);
    if (img.isNull()) return;
    md->setData(QStringLiteral("image/bmp"), bmp_file_of_dib(dib, size));
    md->setImageData(img);
}

void publish_picture(QMimeData* md, HGLOBAL h)
{
    const auto* mp = static_cast<const METAFILEPICT*>(GlobalLock(h));
    if (!mp || GlobalSize(h) < sizeof(METAFILEPICT) || !gdi_valid_metafile(mp->hMF)) return;
    RECT b{};
    if (!gdi_metafile_bounds(mp->hMF, &b)) return;
    double wUnits = double(b.right) - b.left, hUnits = double(b.bottom) - b.top;
    // on-screen size from the HIMETRIC extents; units per inch from the bounds
    int dpi = gdi_screen_dpi_x();
    int pw = mp->xExt > 0 ? int(std::lround(mp->xExt * dpi / 2540.0)) : int(std::abs(wUnits));
    int ph = mp->yExt > 0 ? int(std::lround(mp->yExt * gdi_screen_dpi_y() / 2540.0)) : int(std::abs(hUnits));
    if (mp->xExt > 0 && wUnits != 0) {
        int inch = int(std::lround(std::abs(wUnits) * 2540.0 / mp->xExt));
        std::vector<unsigned char> wmf = gdi_placeable_wmf(mp->hMF, inch, b);
        if (!wmf.empty())
            md->setData(QStringLiteral("image/x-wmf"), QByteArray(reinterpret_cast<const char*>(wmf.data()), qsizetype(wmf.size())));
    }
    QImage img = gdi_metafile_image(mp->hMF, std::max(1, pw), std::max(1, ph));
    if (!img.isNull()) md->setImageData(img);
}

HGLOBAL dib_from_clipboard(const QMimeData* md)
{
    QByteArray bmp = md->data(QStringLiteral("image/bmp"));
    if (bmp.size() > 14 + 40 && bmp.startsWith("BM")) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::size_t(bmp.size() - 14));
        if (!h) return nullptr;
        std::memcpy(GlobalLock(h), bmp.constData() + 14, std::size_t(bmp.size() - 14));
        return h;
    }
    if (!md->hasImage()) return nullptr;
    QImage img = qvariant_cast<QImage>(md->imageData());
    if (img.isNull()) return nullptr;
    std::vector<BYTE> dib = gdi_image_to_dib24(img.convertToFormat(QImage::Format_RGB32));
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (!h) return nullptr;
    std::memcpy(GlobalLock(h), dib.data(), dib.size());
    return h;
}

HGLOBAL picture_from_clipboard(const QMimeData* md)
{
    QByteArray wmf = md->data(QStringLiteral("image/x-wmf"));
    if (wmf.isEmpty()) return nullptr;
    HMETAFILE mf = SetMetaFileBitsEx(UINT(wmf.size()), reinterpret_cast<const BYTE*>(wmf.constData()));
    if (!mf) return nullptr;
    METAFILEPICT mp{MM_ANISOTROPIC, 0, 0, mf};
    std::shared_ptr<MetaFile> m = gdi_metafile(mf);
    if (m && m->placeable && m->inch > 0) {
        mp.xExt = LONG(std::lround((double(m->bbox.right) - m->bbox.left) * 2540.0 / m->inch));
        mp.yExt = LONG(std::lround((double(m->bbox.bottom) - m->bbox.top) * 2540.0 / m->inch));
    }
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    if (!h) {
        DeleteMetaFile(mf);
        return nullptr;
    }
    std::memcpy(GlobalLock(h), &mp, sizeof mp);
    cs().handedOutMf.push_back(mf);
    return h;
}
}  // namespace

BOOL OpenClipboard(HWND owner)
{
    (void)owner;
    if (cs().open || !clip()) return FALSE;
    cs().open = true;
    cs().emptied = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    if (!cs().open) return FALSE;
    for (auto& [f, h] : cs().pending) free_block(f, h);
    cs().pending.clear();
    forget_handed_out();
    cs().emptied = true;
    return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data)
{
    if (!cs().open || !data || !GlobalSize(data)) return nullptr;
    if (format != CF_DIB && format != CF_METAFILEPICT) return nullptr;
    for (auto& [f, h] : cs().pending)
        if (f == format) {
            free_block(f, h);
            h = data;
            return data;
        }
    cs().pending.emplace_back(format, data);
    return data;
}

BOOL CloseClipboard()
{
    if (!cs().open) return FALSE;
    cs().open = false;
    if (cs().emptied || !cs().pending.empty()) {
        auto* md = new QMimeData;
        for (auto& [f, h] : cs().pending) {
            if (f == CF_DIB) publish_dib(md, h);
            else if (f == CF_METAFILEPICT) publish_picture(md, h);
        }
        clip()->setMimeData(md);
        // what we gave stays readable through GetClipboardData from the desktop's copy
        for (auto& [f, h] : cs().pending) free_block(f, h);
        cs().pending.clear();
    }
    return TRUE;
}

HGLOBAL GetClipboardData(UINT format)
{
    if (!cs().open) return nullptr;
    for (auto& [f, h] : cs().pending)
        if (f == format) return h;
    const QMimeData* md = clip()->mimeData();
    if (!md) return nullptr;
    HGLOBAL h = nullptr;
    if (format == CF_DIB) h = dib_from_clipboard(md);
    else if (format == CF_METAFILEPICT) h = picture_from_clipboard(md);
    if (h) cs().handedOut.push_back(h);
    return h;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    if (!clip()) return FALSE;
    for (auto& [f, h] : cs().pending)
        if (f == format) return TRUE;
    const QMimeData* md = clip()->mimeData();
    if (!md) return FALSE;
    switch (format) {
    case CF_DIB: return md->hasFormat(QStringLiteral("image/bmp")) || md->hasImage();
    case CF_METAFILEPICT: return md->hasFormat(QStringLiteral("image/x-wmf"));
    case CF_TEXT: case CF_UNICODETEXT: return md->hasText();
    default: return FALSE;
    }
}
