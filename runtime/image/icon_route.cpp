// Icons and cursors, and the associated-icon picture that stands in for a file no
// decoder could read. On Linux the associated icon is the file's own picture for
// .ico and .cur files, else the icon of its MIME type in the desktop's icon theme,
// else a generic document icon drawn here.
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "platform/win/winuser.h"
#include "runtime/image/image_deps.h"
#include "runtime/image/image_internal.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>

#include <cstdlib>
#include <cstring>

namespace {

// System metrics of icons and cursors (Win32 numbers).
enum : int { kCxIcon = 11, kCyIcon = 12, kCxCursor = 13, kCyCursor = 14 };

int metric(int index)
{
    int v = GetSystemMetrics(index);
    return v > 0 && v <= 256 ? v : 32;
}

QImage generic_icon(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal sx = w / 32.0, sy = h / 32.0;
    p.scale(sx, sy);
    QPainterPath page;
    page.moveTo(6.5, 2.5);
    page.lineTo(19.5, 2.5);
    page.lineTo(25.5, 8.5);
    page.lineTo(25.5, 29.5);
    page.lineTo(6.5, 29.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(96, 96, 96), 1.0));
    p.setBrush(QColor(250, 250, 250));
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(19.5, 2.5);
    fold.lineTo(19.5, 8.5);
    fold.lineTo(25.5, 8.5);
    p.setBrush(QColor(210, 210, 210));
    p.drawPath(fold);
    p.setPen(QPen(QColor(150, 150, 150), 1.0));
    for (int y = 13; y <= 25; y += 4)
        p.drawLine(QPointF(10, y + 0.5), QPointF(22, y + 0.5));
    return img;
}

QImage theme_icon(const char* name, int w, int h)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    static bool fallback_set = false;
    if (!fallback_set) {
        fallback_set = true;
        if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
            QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    }
    QMimeDatabase db;
    const QMimeType mt = db.mimeTypeForFile(QString::fromUtf8(name));
    QIcon icon = QIcon::fromTheme(mt.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mt.genericIconName());
    if (icon.isNull())
        return {};
    QPixmap pm = icon.pixmap(QSize(w, h));
    if (pm.isNull())
        return {};
    return pm.toImage();
}

QImage file_icon(const char* name, int w)
{
    const std::string ext = image_extension(name);
    if (ext != ".ICO" && ext != ".CUR")
        return {};
    unsigned char* data;
    std::size_t size;
    if (!image_read_file(name, &data, &size, 16u * 1024 * 1024))
        return {};
    IcoImage ico;
    bool ok = image_ico_decode(data, size, w, &ico);
    std::free(data);
    if (!ok)
        return {};
    QImage img(ico.width, ico.height, QImage::Format_ARGB32);
    for (int y = 0; y < ico.height; ++y)
        std::memcpy(img.scanLine(y), ico.argb.data() + static_cast<std::size_t>(y) * ico.width,
                    static_cast<std::size_t>(ico.width) * 4);
    return img;
}

// The icon of a file, always found on Linux (the generic icon is the last resort).
QImage associated_icon(const char* name, int w, int h)
{
    QImage img = file_icon(name, w);
    if (img.isNull())
        img = theme_icon(name, w, h);
    if (img.isNull())
        img = generic_icon(w, h);
    return img;
}

// A bitmap of w x h on the background colour (0x00BBGGRR) with the icon drawn at
// (0, 0) in the icon size, cut at the bitmap's edges.
_bmap* draw_icon(const QImage& icon, int w, int h, std::uint32_t background)
{
    _bmap* bm = _bmap_try_new(w, h);
    if (!bm)
        return nullptr;
    const int iw = metric(kCxIcon), ih = metric(kCyIcon);
    QImage canvas(w < iw ? w : iw, h < ih ? h : ih, QImage::Format_RGB32);
    canvas.fill(QColor(static_cast<int>(background & 0xFF), static_cast<int>((background >> 8) & 0xFF),
                       static_cast<int>((background >> 16) & 0xFF)));
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, iw, ih), icon);
    }
    const unsigned char b = static_cast<unsigned char>(background >> 16), g = static_cast<unsigned char>(background >> 8),
                        r = static_cast<unsigned char>(background);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = bm->bits + static_cast<std::size_t>(y) * bm->stride;
        const QRgb* src = y < canvas.height() ? reinterpret_cast<const QRgb*>(canvas.constScanLine(y)) : nullptr;
        for (int x = 0; x < w; ++x) {
            if (src && x < canvas.width()) {
                row[x * 3] = static_cast<unsigned char>(qBlue(src[x]));
                row[x * 3 + 1] = static_cast<unsigned char>(qGreen(src[x]));
                row[x * 3 + 2] = static_cast<unsigned char>(qRed(src[x]));
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
    const QImage icon = associated_icon(name, w, h);
    return draw_icon(icon, w, h, background == 0xFFFFFF ? page_background() : background);
}

_bmap* _geticon_bmap(const char* name)
{
    if (!name)
        return nullptr;
    int w = 0, h = 0, xdpi = 0, ydpi = 0;
    if (!_getfile_size(name, &w, &h, &xdpi, &ydpi))
        return nullptr;
    const QImage icon = associated_icon(name, metric(kCxIcon), metric(kCyIcon));
    _bmap* bm = draw_icon(icon, w, h, page_background());
    if (bm)
        bm->set_dpi(xdpi, ydpi);
    return bm;
}
