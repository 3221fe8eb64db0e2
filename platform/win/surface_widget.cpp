// Client areas of registered-class windows: the back buffer on screen, WM_PAINT for
// what was invalidated (InvalidateRect, first show, growth), WM_SIZE on resize.
// Exposure alone needs no WM_PAINT: the back buffer still holds the picture.
#include "platform/win/surface_widget.h"

#include <QPaintEvent>
#include <QPainter>

SurfaceWidget::SurfaceWidget(HWND w, QWidget* parent) : QWidget(parent), wnd(w)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void SurfaceWidget::moveEvent(QMoveEvent*)
{
    // a child moved within its parent may show parts that waited off screen
    if (wnd_valid(wnd))
        wnd_update_visible(wnd, rect());
}

void SurfaceWidget::resizeEvent(QResizeEvent*)
{
    if (wnd_valid(wnd))
        wnd_sync_size(wnd);
}

void SurfaceWidget::paintEvent(QPaintEvent* e)
{
    if (!wnd_valid(wnd))
        return;
    wnd_ensure_surface(wnd);
    // Only what the toolkit asks for is painted: parts of the window off every
    // screen stay invalid until they are seen or read.
    wnd_paint_now(wnd, e->region());
    if (!wnd_valid(wnd))
        return;
    QPainter p(this);
    for (const QRect& r : e->region())
        p.drawImage(r, wnd->surface, r);
}
