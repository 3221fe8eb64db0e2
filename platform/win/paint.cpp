// Painting: invalid regions, BeginPaint/EndPaint and window DCs on the back buffer
// (made by GDI through gdi_create_image_dc), UpdateWindow as an immediate repaint.
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/surface_widget.h"
#include "platform/win/win_internal.h"

#include <QGuiApplication>
#include <QPainter>
#include <QAbstractScrollArea>
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
    wnd_update_visible(w, q);
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
    if (paints(w) && !w->invalid.isEmpty() && w->client->isVisible()) {
        QRegion due = w->invalid & wnd_visible_part(w);
        if (!due.isEmpty())
            w->client->repaint(due);
    }
    return TRUE;
}

HDC BeginPaint(HWND w, PAINTSTRUCT* ps)
{
    if (!paints(w) || !ps)
        return nullptr;
    wnd_ensure_surface(w);
    // Our own paint pass hands out what is due now; a WM_PAINT sent by anyone
    // else covers everything that waits.
    QRegion due = w->painting ? (w->paintDue & w->invalid) : w->invalid;
    QRect b = due.boundingRect();
    if (b.isEmpty())
        b = QRect();
    ps->rcPaint = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    ps->fErase = w->eraseWanted ? TRUE : FALSE;
    wnd_fill_unfilled(w, b);
    if (w->eraseWanted && !b.isEmpty()) {
        QPainter p(&w->surface);
        p.setClipRegion(due);
        p.fillRect(b, wnd_background(w));
    }
    w->paintRect = ps->rcPaint;
    w->invalid -= due;
    // what still waits is erased when its turn comes, as an uncovered area is
    w->eraseWanted = w->eraseWanted && !w->invalid.isEmpty();
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
    if (paints(w)) {
        const RECT& r = ps->rcPaint;
        wnd_update_visible(w, QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    }
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
        wnd_update_visible(w, QRect(QPoint(0, 0), w->client->size()));   // shows at the next pass of the loop
    return 1;
}

QColor brush_colour(HBRUSH b)
{
    LOGBRUSH lb{};
    if (b && GetObjectA(b, int(sizeof lb), &lb) == int(sizeof lb))
        return QColor(GetRValue(lb.lbColor), GetGValue(lb.lbColor), GetBValue(lb.lbColor));
    return QColor(Qt::white);
}

QRegion wnd_visible_part(HWND w)
{
    if (!w || !w->client)
        return QRegion();
    const QRect all(QPoint(0, 0), w->client->size());
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return all;
    const QPoint at = w->client->mapToGlobal(QPoint(0, 0));
    QRegion seen;
    for (QScreen* s : screens)
        seen += s->geometry().translated(-at);
    // a client inside a scroll view shows only what its viewports show
    for (QWidget* p = w->client->parentWidget(); p; p = p->parentWidget()) {
        auto* area = qobject_cast<QAbstractScrollArea*>(p->parentWidget());
        if (area && area->viewport() == p)
            seen &= QRect(w->client->mapFrom(p, QPoint(0, 0)), p->size());
    }
    return seen & all;
}

void wnd_update_visible(HWND w, const QRegion& r)
{
    if (!w || !w->client)
        return;
    QRegion v = r & wnd_visible_part(w);
    if (v.isEmpty())
        return;
    if (auto* surface = dynamic_cast<SurfaceWidget*>(w->client.data()))
        surface->request_update(v);
    else
        w->client->update(v);
}

void wnd_paint_now(HWND w, const QRegion& due)
{
    if (!paints(w) || w->painting)
        return;
    QRegion part = w->invalid & due;
    if (part.isEmpty())
        return;
    w->paintDue = part;
    w->painting = true;
    {
        QtHandlerScope scope;
        wnd_call(w, WM_PAINT, 0, 0);
    }
    if (!wnd_valid(w))
        return;
    w->painting = false;
    w->paintDue = QRegion();
    w->invalid -= part;   // an unanswered WM_PAINT is not repeated
    if (w->invalid.isEmpty())
        w->eraseWanted = false;
}
