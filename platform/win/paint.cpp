// Painting: invalid regions, BeginPaint/EndPaint and window DCs on the back buffer
// (made by GDI through gdi_create_image_dc), UpdateWindow as an immediate repaint.
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/win_internal.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {

QRect to_qrect(const RECT& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).normalized();
}

bool paints(HWND w)
{
    return wnd_valid(w) && (w->kind == WndKind::Frame || w->kind == WndKind::Child) && w->client;
}

} // namespace

BOOL InvalidateRect(HWND w, const RECT* r, BOOL erase)
{
    if (!wnd_valid(w))
        return FALSE;
    if (!paints(w)) {
        if (w->frame)
            w->frame->update();
        return TRUE;
    }
    QRect all(0, 0, w->client->width(), w->client->height());
    QRect q = r ? to_qrect(*r).intersected(all) : all;
    if (q.isEmpty())
        return TRUE;
    w->invalid += q;
    if (erase)
        w->eraseWanted = true;
    w->client->update(q);
    return TRUE;
}

BOOL ValidateRect(HWND w, const RECT* r)
{
    if (!paints(w))
        return wnd_valid(w) ? TRUE : FALSE;
    if (r)
        w->invalid -= to_qrect(*r);
    else
        w->invalid = QRegion();
    return TRUE;
}

BOOL UpdateWindow(HWND w)
{
    if (!wnd_valid(w))
        return FALSE;
    if (paints(w) && !w->invalid.isEmpty() && w->client->isVisible())
        w->client->repaint(w->invalid.boundingRect());
    return TRUE;
}

HDC BeginPaint(HWND w, PAINTSTRUCT* ps)
{
    if (!paints(w) || !ps)
        return nullptr;
    wnd_ensure_surface(w);
    QRect b = w->invalid.boundingRect();
    if (b.isEmpty())
        b = QRect();
    ps->rcPaint = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    ps->fErase = w->eraseWanted ? TRUE : FALSE;
    if (w->eraseWanted && !b.isEmpty()) {
        QPainter p(&w->surface);
        p.setClipRegion(w->invalid);
        p.fillRect(b, wnd_background(w));
    }
    w->eraseWanted = false;
    w->paintRect = ps->rcPaint;
    w->invalid = QRegion();
    ps->hdc = gdi_create_image_dc(&w->surface, w);
    if (ps->hdc && !b.isEmpty())
        IntersectClipRect(ps->hdc, b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
    return ps->hdc;
}

BOOL EndPaint(HWND w, const PAINTSTRUCT* ps)
{
    if (!ps)
        return FALSE;
    if (ps->hdc)
        gdi_destroy_image_dc(ps->hdc);
    if (paints(w))
        w->client->update();
    return TRUE;
}

HDC GetDC(HWND w)
{
    if (!w) {
        // The screen: an image of the screen's size, for its capabilities.
        static QImage screen;
        if (screen.isNull()) {
            QScreen* s = QGuiApplication::primaryScreen();
            QSize sz = s ? s->size() : QSize(1024, 768);
            screen = QImage(sz, QImage::Format_RGB32);
            screen.fill(Qt::white);
        }
        return gdi_create_image_dc(&screen, nullptr);
    }
    if (!paints(w))
        return nullptr;
    wnd_ensure_surface(w);
    return gdi_create_image_dc(&w->surface, w);
}

int ReleaseDC(HWND w, HDC dc)
{
    if (!dc)
        return 0;
    gdi_destroy_image_dc(dc);
    if (paints(w))
        w->client->update();   // what was drawn shows at the next pass of the loop
    return 1;
}

QColor brush_colour(HBRUSH b)
{
    LOGBRUSH lb{};
    if (b && GetObjectA(b, int(sizeof lb), &lb) == int(sizeof lb))
        return QColor(GetRValue(lb.lbColor), GetGValue(lb.lbColor), GetBValue(lb.lbColor));
    return QColor(Qt::white);
}
