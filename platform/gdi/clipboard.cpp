// The clipboard over QClipboard for pictures: a CF_DIB block travels as
// image/bmp and as an image, a CF_METAFILEPICT picture as image/x-wmf (a
// placeable metafile) and as an image of its on-screen size; those forms are
// made only when a reader asks. Blocks given to the clipboard are owned by it;
// blocks it hands out stay valid until the next EmptyClipboard.
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/winclip.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// Header and colour table of a packed DIB block: the rows start after them.
// 0 when the block cannot hold a DIB the desktop could be offered.
std::size_t dib_info_bytes(const BYTE* dib, std::size_t size)
{
    if (!dib || size < 40) return 0;
    BITMAPINFOHEADER bh;
    std::memcpy(&bh, dib, 40);
    if (bh.biSize < 40 || bh.biSize > size) return 0;
    std::size_t info = std::size_t(bh.biSize) + gdi_dib_colors_bytes(bh, DIB_RGB_COLORS);
    if (info > size) return 0;
    std::size_t rows = gdi_dib_rows_bytes(bh);
    if (rows == 0 || (bh.biCompression != BI_RLE4 && bh.biCompression != BI_RLE8 && rows > size - info))
        return 0;
    return info;
}

// Device units per inch of a METAFILEPICT's extents in its mapping mode; the
// two scaling modes give HIMETRIC extents, MM_TEXT gives screen pixels.
double extents_per_inch(LONG mm)
{
    switch (mm) {
    case MM_TEXT: return gdi_screen_dpi_x();
    case MM_LOMETRIC: return 254.0;
    case MM_LOENGLISH: return 100.0;
    case MM_HIENGLISH: return 1000.0;
    case MM_TWIPS: return 1440.0;
    default: return 2540.0;
    }
}

// Private format carrying the METAFILEPICT fields other than the handle, so that
// a program of this runtime pasting our picture gets back the mapping mode and
// extents it was given, not the HIMETRIC reading of the placeable file.
const QString kPictFields = QStringLiteral("application/x-ostrel-metafilepict");

// What CloseClipboard offers the desktop: the blocks as given, taken over
// without a copy. Other formats (a BMP file, an image, a placeable metafile)
// are made only when a reader asks for them, so putting a large picture on the
// clipboard costs no conversion that nobody wants.
class ClipMime : public QMimeData {
public:
    ~ClipMime() override
    {
        if (dib_) GlobalFree(dib_);
        if (pict_.hMF) DeleteMetaFile(pict_.hMF);
    }

    // Takes the block (freed here in every case).
    void take_dib(HGLOBAL h)
    {
        const auto* p = static_cast<const BYTE*>(GlobalLock(h));
        if (!p || !dib_info_bytes(p, GlobalSize(h))) {
            GlobalFree(h);
            return;
        }
        if (dib_) GlobalFree(dib_);
        dib_ = h;
    }

    // Takes the METAFILEPICT block and its metafile (both freed here in every case).
    void take_picture(HGLOBAL h)
    {
        const auto* mp = static_cast<const METAFILEPICT*>(GlobalLock(h));
        METAFILEPICT pict{};
        if (mp && GlobalSize(h) >= sizeof(METAFILEPICT)) pict = *mp;
        GlobalFree(h);
        RECT b{};
        if (!gdi_valid_metafile(pict.hMF) || !gdi_metafile_bounds(pict.hMF, &b)) {
            if (gdi_valid_metafile(pict.hMF)) DeleteMetaFile(pict.hMF);
            return;
        }
        if (pict_.hMF) DeleteMetaFile(pict_.hMF);
        pict_ = pict;
        bounds_ = b;
    }

    HGLOBAL dib() const { return dib_; }
    const METAFILEPICT& picture() const { return pict_; }

    QStringList formats() const override
    {
        QStringList f;
        if (pict_.hMF && pict_.xExt > 0 && pict_.yExt > 0) f << QStringLiteral("image/x-wmf") << kPictFields;
        if (dib_) f << QStringLiteral("image/bmp");
        if (dib_ || pict_.hMF) f << QStringLiteral("application/x-qt-image");
        return f;
    }

    bool hasFormat(const QString& mime) const override { return formats().contains(mime); }

protected:
    QVariant retrieveData(const QString& mime, QMetaType type) const override
    {
        if (mime == QLatin1String("application/x-qt-image")) {
            QImage img = image();
            return img.isNull() ? QVariant() : QVariant(img);
        }
        if (mime == QLatin1String("image/bmp") && dib_)
            return bmp_file_of_dib(static_cast<const BYTE*>(dib_), GlobalSize(dib_));
        if (mime == QLatin1String("image/x-wmf") && pict_.hMF) return placeable();
        if (mime == kPictFields && pict_.hMF) {
            LONG f[3] = {pict_.mm, pict_.xExt, pict_.yExt};
            return QByteArray(reinterpret_cast<const char*>(f), sizeof f);
        }
        return QMimeData::retrieveData(mime, type);
    }

private:
    HGLOBAL dib_ = nullptr;
    METAFILEPICT pict_{};
    RECT bounds_{};
    mutable QImage image_;   // made once, on the first reader's request

    QImage image() const
    {
        if (!image_.isNull()) return image_;
        if (dib_) {
            const auto* p = static_cast<const BYTE*>(dib_);
            std::size_t size = GlobalSize(dib_), info = dib_info_bytes(p, size);
            if (info) image_ = gdi_dib_to_image(p, info, p + info, size - info, DIB_RGB_COLORS);
        } else if (pict_.hMF) {
            image_ = gdi_metafile_image(pict_.hMF, std::max(1, pixels(pict_.xExt, bounds_.right - bounds_.left,
                                                                      gdi_screen_dpi_x())),
                                        std::max(1, pixels(pict_.yExt, bounds_.bottom - bounds_.top,
                                                           gdi_screen_dpi_y())));
        }
        return image_;
    }

    // On-screen size of one side: from the extent when there is one, else one
    // pixel per unit of the picture's bounds.
    int pixels(LONG ext, long long units, int dpi) const
    {
        if (ext <= 0) return int(std::min<long long>(std::llabs(units), 1 << 15));
        return int(std::lround(ext * double(dpi) / extents_per_inch(pict_.mm)));
    }

    // The placeable file: its units per inch follow from the bounds and the extent.
    QByteArray placeable() const
    {
        double wUnits = double(bounds_.right) - bounds_.left;
        if (pict_.xExt <= 0 || wUnits == 0) return {};
        int inch = int(std::lround(std::abs(wUnits) * extents_per_inch(pict_.mm) / pict_.xExt));
        std::vector<unsigned char> wmf = gdi_placeable_wmf(pict_.hMF, inch, bounds_);
        return QByteArray(reinterpret_cast<const char*>(wmf.data()), qsizetype(wmf.size()));
    }
};

HGLOBAL copy_block(HGLOBAL from)
{
    std::size_t size = GlobalSize(from);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!h) return nullptr;
    std::memcpy(GlobalLock(h), GlobalLock(from), size);
    return h;
}

HGLOBAL dib_from_clipboard(const QMimeData* md)
{
    // our own data: the very block that was given
    if (const auto* own = dynamic_cast<const ClipMime*>(md); own && own->dib()) return copy_block(own->dib());
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
    METAFILEPICT mp{MM_ANISOTROPIC, 0, 0, nullptr};
    if (const auto* own = dynamic_cast<const ClipMime*>(md); own && own->picture().hMF) {
        mp = own->picture();
        mp.hMF = CopyMetaFileA(mp.hMF, nullptr);
    } else {
        QByteArray wmf = md->data(QStringLiteral("image/x-wmf"));
        if (wmf.isEmpty()) return nullptr;
        mp.hMF = SetMetaFileBitsEx(UINT(wmf.size()), reinterpret_cast<const BYTE*>(wmf.constData()));
        if (!mp.hMF) return nullptr;
        // Copied out of the byte array: an empty one shares a one-byte static
        // block, which the compiler's bounds check cannot tell from this path.
        const QByteArray given = md->data(kPictFields);
        const std::vector<char> fields(given.begin(), given.end());
        std::shared_ptr<MetaFile> m = gdi_metafile(mp.hMF);
        if (fields.size() == 3 * sizeof(LONG)) {
            // another program of this runtime: the fields it gave
            std::memcpy(&mp.mm, fields.data(), sizeof(LONG));
            std::memcpy(&mp.xExt, fields.data() + sizeof(LONG), sizeof(LONG));
            std::memcpy(&mp.yExt, fields.data() + 2 * sizeof(LONG), sizeof(LONG));
        } else if (m && m->placeable && m->inch > 0) {
            mp.xExt = LONG(std::lround((double(m->bbox.right) - m->bbox.left) * 2540.0 / m->inch));
            mp.yExt = LONG(std::lround((double(m->bbox.bottom) - m->bbox.top) * 2540.0 / m->inch));
        }
    }
    HMETAFILE mf = mp.hMF;
    if (!mf) return nullptr;
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
        // The blocks move into what the desktop is offered (no copy); they stay
        // readable through GetClipboardData from there.
        auto* md = new ClipMime;
        for (auto& [f, h] : cs().pending) {
            if (f == CF_DIB) md->take_dib(h);
            else if (f == CF_METAFILEPICT) md->take_picture(h);
        }
        cs().pending.clear();
        clip()->setMimeData(md);
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
