// Frames larger than the screen. A top-level window asked to be larger than the
// screen's free area is shown in a frame that fits it (at the asked position where
// that fits, moved in otherwise) with scroll bars over its client area, which keeps
// its full size: client coordinates, the back buffer, geometry queries and
// everything drawn stay those of the whole window; only the view moves (scroll
// bars, mouse wheel). A window that fits is laid out exactly as before.
#include "platform/win/win_internal.h"

#include <QAbstractScrollArea>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace {

// The free area of the screen the window is asked to start on (the primary screen
// when it starts off every screen).
QRect free_area(const QRect& want)
{
    QScreen* s = QGuiApplication::screenAt(want.topLeft());
    if (!s)
        s = QGuiApplication::screenAt(want.center());
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}

void enter_scroller(HWND w)
{
    if (w->scroller)
        return;
    auto* area = new QScrollArea(w->frame);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(false);   // the client keeps the size the program asked for
    area->setFocusPolicy(Qt::NoFocus); // keys stay with the client, as before
    area->setWidget(w->client);        // the client moves into the scroller's viewport
    area->show();
    w->scroller = area;
}

void leave_scroller(HWND w)
{
    if (!w->scroller)
        return;
    QWidget* client = w->scroller->takeWidget();
    if (client) {
        client->setParent(w->frame);
        client->show();
    }
    delete w->scroller.data();
}

} // namespace

void wnd_place_frame(HWND w, const QRect& want)
{
    if (!w || !w->frame)
        return;
    const QRect room = w->kind == WndKind::Frame ? free_area(want) : QRect();
    if (!room.isValid() || (want.width() <= room.width() && want.height() <= room.height())) {
        leave_scroller(w);
        w->wanted = QRect();
        w->frame->setGeometry(want);
        return;
    }
    const QSize fit = want.size().boundedTo(room.size());
    const int x = std::clamp(want.x(), room.left(), room.right() + 1 - fit.width());
    const int y = std::clamp(want.y(), room.top(), room.bottom() + 1 - fit.height());
    w->wanted = want;
    enter_scroller(w);
    w->frame->setGeometry(QRect(QPoint(x, y), fit));
}

QRect wnd_frame_rect(HWND w)
{
    QWidget* f = w->frame;
    const QPoint at = f->isWindow() ? f->geometry().topLeft() : f->mapToGlobal(QPoint(0, 0));
    return QRect(at, w->scroller ? w->wanted.size() : f->size());
}
