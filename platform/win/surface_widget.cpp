// Client areas of registered-class windows: the back buffer on screen, WM_PAINT for
// what was invalidated (InvalidateRect, first show, growth), WM_SIZE on resize.
// Exposure alone needs no WM_PAINT: the back buffer still holds the picture.
#include "platform/win/surface_widget.h"
#include "platform/win/window_surface.h"

#include <QPaintEvent>
#include <QTimerEvent>

#include <algorithm>
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

namespace {
int frame_ms = 16;   // one screen refresh
}

int platform_set_frame_ms(int ms)
{
    int was = frame_ms;
    frame_ms = std::max(1, ms);
    return was;
}

int platform_frame_ms()
{
    return frame_ms;
}

// A program drawing in a loop selects its page after every mark, and every printf
// lets the loop run: each pass would replay the page and send its visible part to
// the screen, which costs far more than the mark. A request within one frame of the
// last paint waits for that frame to end; a lone request shows at the next pass.
// Only when pixels reach the screen changes: reads of the window's pixels paint
// what they need at once.
void SurfaceWidget::request_update(const QRegion& r)
{
    if (r.isEmpty())
        return;
    if (!isVisible() || !painted.isValid() || painted.elapsed() >= frame_ms) {
        update(r);
        return;
    }
    held += r;
    if (!pacing.isActive())
        pacing.start(int(std::max<qint64>(1, frame_ms - painted.elapsed())), this);
}

void SurfaceWidget::flush_held()
{
    pacing.stop();
    QRegion r = held;
    held = QRegion();
    if (!r.isEmpty())
        repaint(r);
}

void SurfaceWidget::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != pacing.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    pacing.stop();
    QRegion r = held;
    held = QRegion();
    update(r);
}

void SurfaceWidget::paintEvent(QPaintEvent* e)
{
    painted.start();
    if (!wnd_valid(wnd))
        return;
    wnd_ensure_surface(wnd);
    // Only what the toolkit asks for is painted: parts of the window off every
    // screen stay invalid until they are seen or read.
    wnd_paint_now(wnd, e->region());
    if (!wnd_valid(wnd))
        return;
    wnd_fill_unfilled(wnd, e->region());
    QPainter p(this);
    for (const QRect& r : e->region())
        p.drawImage(r, wnd->surface, r);
}
