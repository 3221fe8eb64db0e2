// Icons made at run time: from 32-bit pixels (CreateIcon), the icon of a file's
// type in the desktop's icon theme or a plain document icon drawn here
// (SHGetFileInfoA), and their drawing onto a DC (DrawIconEx). Each keeps the
// picture it was made from, so drawing it scales that picture once.
#include "platform/gdi/gdi_surface.h"
#include "platform/win/shellapi.h"
#include "platform/win/win_internal.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cstring>
#include <unordered_map>

namespace {

// The icons made here and their pictures (system icons are not in it).
std::unordered_map<HICON, QImage>& made()
{
    static std::unordered_map<HICON, QImage> m;
    return m;
}

HICON make_icon(const QImage& picture)
{
    // a window class may take the icon too: that side wants a QIcon
    HICON icon = new QIcon(qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                               ? QIcon(QPixmap::fromImage(picture))
                               : QIcon());
    made().emplace(icon, picture);
    return icon;
}

QImage document_icon(int w, int h)
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

} // namespace

HICON CreateIcon(HINSTANCE, int w, int h, BYTE planes, BYTE bitsPixel, const BYTE*, const BYTE* xorBits)
{
    if (w < 1 || h < 1 || w > 256 || h > 256 || planes != 1 || bitsPixel != 32 || !xorBits)
        return nullptr;
    QImage picture(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        std::memcpy(picture.scanLine(y), xorBits + std::size_t(y) * std::size_t(w) * 4, std::size_t(w) * 4);
    return make_icon(picture);
}

BOOL DestroyIcon(HICON icon)
{
    auto it = made().find(icon);
    if (it == made().end())
        return FALSE;
    made().erase(it);
    delete static_cast<QIcon*>(icon);
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT)
{
    auto it = made().find(icon);
    if (it == made().end())
        return FALSE;
    const QImage& picture = it->second;
    return gdi_draw_picture(dc, x, y, cx ? cx : picture.width(), cy ? cy : picture.height(), picture);
}

std::uintptr_t SHGetFileInfoA(const char* path, DWORD, SHFILEINFOA* sfi, UINT size, UINT flags)
{
    if (!path || !sfi || size != sizeof(SHFILEINFOA))
        return 0;
    std::memset(sfi, 0, sizeof *sfi);
    if (!(flags & SHGFI_ICON))
        return 1;
    const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    QImage picture = theme_icon(path, w, h);
    if (picture.isNull())
        picture = document_icon(w, h);
    sfi->hIcon = make_icon(picture);
    return 1;
}
