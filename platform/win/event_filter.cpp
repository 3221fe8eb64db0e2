// Qt input events of platform windows become queued messages with Win32 numbers
// and layouts: keys (WM_KEYDOWN, WM_CHAR, WM_KEYUP), mouse (client coordinates,
// double clicks for CS_DBLCLKS classes), close, dropped files. Resizes and
// activation are sent at once, as Windows sends them.
#include "platform/win/win_internal.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>
#include <cstdlib>

namespace {

WPARAM mouse_keys(Qt::MouseButtons b, Qt::KeyboardModifiers m)
{
    WPARAM k = 0;
    if (b & Qt::LeftButton) k |= MK_LBUTTON;
    if (b & Qt::RightButton) k |= MK_RBUTTON;
    if (b & Qt::MiddleButton) k |= MK_MBUTTON;
    if (m & Qt::ShiftModifier) k |= MK_SHIFT;
    if (m & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

LPARAM point_lparam(QPoint p)
{
    return MAKELPARAM(SHORT(p.x()), SHORT(p.y()));
}

void post(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    QPoint c = QCursor::pos();
    queue_post(MSG{w, msg, wp, lp, 0, POINT{c.x(), c.y()}});
}

// The character a key types, as TranslateMessage would give it; 0 for none.
int char_code(const QKeyEvent* e)
{
    int key = e->key();
    Qt::KeyboardModifiers m = e->modifiers();
    switch (key) {
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return 0;
    default: break;
    }
    if ((m & Qt::ControlModifier) && !(m & Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        return 0;
    }
    QString t = e->text();
    if (t.isEmpty())
        return 0;
    char32_t c = t.at(0).unicode();
    if (t.size() > 1 && t.at(0).isHighSurrogate())
        c = QChar::surrogateToUcs4(t.at(0), t.at(1));
    if (c < 32 || c == 127)
        return 0;
    return int(c);
}

class Filter : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override;
private:
    bool key(HWND w, QObject* o, QKeyEvent* e, bool press);
    bool mouse(HWND w, QMouseEvent* e);
};

bool Filter::key(HWND w, QObject* o, QKeyEvent* e, bool press)
{
    if (key_passing(e))
        return false;
    int vk = key_vk(e->key());
    bool alt = e->modifiers() & Qt::AltModifier;
    if (!press) {
        if (e->isAutoRepeat())
            return false;
        std::uint32_t s = key_keep(*e, o);
        post(w, alt ? WM_SYSKEYUP : WM_KEYUP, WPARAM(vk), key_lparam(1u | (3u << 30), s, true));
        return true;
    }
    int ch = alt ? 0 : char_code(e);
    std::uint32_t s = key_keep(*e, o);
    std::uint32_t low = 1u | (e->isAutoRepeat() ? (1u << 30) : 0u);
    post(w, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, WPARAM(vk), key_lparam(low, s, ch == 0));
    if (ch)
        post(w, WM_CHAR, WPARAM(ch), key_lparam(low, s, true));
    return true;
}

bool Filter::mouse(HWND w, QMouseEvent* e)
{
    QPoint p = e->position().toPoint();
    WPARAM keys = mouse_keys(e->buttons(), e->modifiers());
    switch (e->type()) {
    case QEvent::MouseMove:
        post(w, WM_MOUSEMOVE, keys, point_lparam(p));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        int b = e->button() == Qt::LeftButton ? 0 : e->button() == Qt::RightButton ? 1 : e->button() == Qt::MiddleButton ? 2 : -1;
        if (b < 0)
            return true;
        ulong t = e->timestamp();
        if (e->type() == QEvent::MouseButtonDblClick && w->lastPressButton == b + 1 && w->lastPressTime == t)
            return true;   // Qt's own double-click report of the press we already have
        bool dbl = false;
        if (w->cls && (w->cls->style & CS_DBLCLKS) && w->lastPressButton == b + 1
            && t - w->lastPressTime <= GetDoubleClickTime()
            && std::abs(p.x() - w->lastPressPos.x()) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2
            && std::abs(p.y() - w->lastPressPos.y()) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2)
            dbl = true;
        static const UINT down[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        static const UINT dblc[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
        if (dbl) {
            w->lastPressButton = 0;   // a third click starts again
            w->lastPressTime = t;
        } else {
            w->lastPressButton = b + 1;
            w->lastPressTime = t;
            w->lastPressPos = p;
        }
        post(w, dbl ? dblc[b] : down[b], keys, point_lparam(p));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        UINT m = e->button() == Qt::LeftButton ? WM_LBUTTONUP : e->button() == Qt::RightButton ? WM_RBUTTONUP
               : e->button() == Qt::MiddleButton ? UINT(WM_MBUTTONUP) : UINT(0);
        if (m)
            post(w, m, keys, point_lparam(p));
        return true;
    }
    default:
        return false;
    }
}

bool local_files(const QMimeData* d, std::vector<std::string>* out)
{
    if (!d || !d->hasUrls())
        return false;
    bool any = false;
    for (const QUrl& u : d->urls()) {
        if (!u.isLocalFile())
            continue;
        any = true;
        if (out)
            out->push_back(u.toLocalFile().toStdString());
    }
    return any;
}

bool Filter::eventFilter(QObject* o, QEvent* e)
{
    auto* widget = qobject_cast<QWidget*>(o);
    HWND w = wnd_from_widget(widget);
    bool viewport = false;
    if (!w && widget && widget->parentWidget()) {
        // the viewport of a text area belongs to the text area's window
        w = wnd_from_widget(widget->parentWidget());
        viewport = w != nullptr;
    }
    if (!w)
        return false;
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (w->kind == WndKind::StatusBar || w->kind == WndKind::Progress)
            return false;
        return key(w, o, static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyPress);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (w->kind == WndKind::RichEdit) {
            // the text area handles its own mouse; the loop still hears of clicks
            auto* me = static_cast<QMouseEvent*>(e);
            if (e->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton)
                post(w, WM_LBUTTONDOWN, mouse_keys(me->buttons(), me->modifiers()), point_lparam(me->position().toPoint()));
            else if (e->type() == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton)
                post(w, WM_LBUTTONUP, mouse_keys(me->buttons(), me->modifiers()), point_lparam(me->position().toPoint()));
            return false;
        }
        if (viewport || o != w->client.data())
            return false;
        return mouse(w, static_cast<QMouseEvent*>(e));
    case QEvent::Wheel: {
        if (w->kind != WndKind::Frame && w->kind != WndKind::Child)
            return false;
        if (o != w->client.data())
            return false;
        if (w->scroller)
            return false;   // the wheel moves the view of a window larger than the screen
        auto* we = static_cast<QWheelEvent*>(e);
        QPoint g = we->globalPosition().toPoint();
        post(w, WM_MOUSEWHEEL, MAKEWPARAM(mouse_keys(we->buttons(), we->modifiers()), SHORT(we->angleDelta().y())),
             MAKELPARAM(SHORT(g.x()), SHORT(g.y())));
        return true;
    }
    case QEvent::Close:
        if (o != w->frame.data() || w->kind != WndKind::Frame)
            return false;
        e->ignore();
        post(w, WM_CLOSE, 0, 0);
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        if (o != w->frame.data() || w->kind != WndKind::Frame)
            return false;
        auto* de = static_cast<QDropEvent*>(e);
        if (local_files(de->mimeData(), nullptr)) {
            de->acceptProposedAction();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        if (o != w->frame.data() || w->kind != WndKind::Frame)
            return false;
        auto* de = static_cast<QDropEvent*>(e);
        std::vector<std::string> files;
        if (!local_files(de->mimeData(), &files))
            return false;
        de->acceptProposedAction();
        QPoint cp = w->client ? w->client->mapFrom(w->frame, de->position().toPoint()) : QPoint();
        post(w, WM_DROPFILES, reinterpret_cast<WPARAM>(drop_make(std::move(files), POINT{cp.x(), cp.y()})), 0);
        return true;
    }
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate: {
        if (o != w->frame.data() || w->kind != WndKind::Frame)
            return false;
        QtHandlerScope scope;
        int state = e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE;
        wnd_call(w, WM_ACTIVATE, MAKEWPARAM(state, w->frame->isMinimized() ? 1 : 0), 0);
        return false;
    }
    default:
        return false;
    }
}

Filter* filter()
{
    static Filter* f = new Filter;
    return f;
}

} // namespace

void filter_install(HWND w)
{
    if (!w)
        return;
    if (w->frame)
        w->frame->installEventFilter(filter());
    if (w->client && w->client != w->frame)
        w->client->installEventFilter(filter());
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w->frame.data()))
        area->viewport()->installEventFilter(filter());
}
