// Window classes and windows: registration, creation and destruction, the window
// record behind an HWND, styles, texts, geometry, visibility and focus.
//
// A top-level window is a FrameWidget (menu bar on top, SurfaceWidget below as the
// client area); a child of a registered class is a SurfaceWidget inside its
// parent's client; the built-in controls are their own widgets. Window records are
// never freed, so a stale HWND is recognised (alive false) and never reused.
#include "platform/win/win_internal.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/win/surface_widget.h"
#include "platform/win/window_surface.h"
#include "platform/win/window_enum.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

// Qt keeps widget geometry in int and computes right = x + width - 1: keep every
// coordinate inside the toolkit's own size limit so no value can overflow there.
static QRect safe_geometry(int x, int y, int cx, int cy)
{
    constexpr int lim = QWIDGETSIZE_MAX;   // 16,777,215
    return QRect(std::clamp(x, -lim, lim), std::clamp(y, -lim, lim),
                 std::clamp(cx, 0, lim), std::clamp(cy, 0, lim));
}

namespace {

std::vector<std::unique_ptr<WindowClass>>& classes()
{
    static std::vector<std::unique_ptr<WindowClass>> list;
    return list;
}

std::vector<std::unique_ptr<Wnd>>& windows()
{
    static std::vector<std::unique_ptr<Wnd>> list;
    return list;
}

const WindowClass* builtin_class(const char* name)
{
    static const WindowClass richedit{"RichEdit", 0, &richedit_proc, nullptr, nullptr, nullptr, true};
    static const WindowClass status{"msctls_statusbar32", 0, &statusbar_proc, nullptr, nullptr, nullptr, true};
    static const WindowClass progress{"msctls_progress32", 0, &progress_proc, nullptr, nullptr, nullptr, true};
    if (!strcasecmp(name, "RichEdit") || !strcasecmp(name, "RICHEDIT20A") || !strcasecmp(name, "RichEdit20W"))
        return &richedit;
    if (!strcasecmp(name, "msctls_statusbar32"))
        return &status;
    if (!strcasecmp(name, "msctls_progress32"))
        return &progress;
    return nullptr;
}

const WindowClass* find_class(const char* name)
{
    if (!name)
        return nullptr;
    for (auto& c : classes())
        if (!strcasecmp(c->name.c_str(), name))
            return c.get();
    return builtin_class(name);
}

constexpr int CW_USEDEFAULT_VALUE = int(0x80000000);

int menu_height(HWND w)
{
    return (w->menuBar && w->menu) ? w->menuBar->sizeHint().height() : 0;
}

QWidget* parent_client(HWND parent)
{
    return (parent && wnd_valid(parent)) ? parent->client.data() : nullptr;
}

int g_in_qt_handler = 0;
std::vector<QPointer<QWidget>> g_pending_deletes;

} // namespace

// --- the frame of a top-level window: lays out its menu bar and client area ---
FrameWidget::FrameWidget(HWND w, Qt::WindowFlags flags) : QWidget(nullptr, flags), wnd(w) {}

void FrameWidget::resizeEvent(QResizeEvent*)
{
    wnd_layout(wnd);
}

void FrameWidget::moveEvent(QMoveEvent*)
{
    // Parts of this window or its children that were off every screen may be
    // on one now: show them (and paint what waited there).
    for (HWND w : wnd_all())
        if (w->client && w->client->window() == this)
            wnd_update_visible(w, QRect(QPoint(0, 0), w->client->size()));
}

void wnd_layout(HWND w)
{
    if (!w || !w->alive || w->kind != WndKind::Frame || !w->frame || !w->client)
        return;
    int mh = menu_height(w);
    QSize s = w->frame->size();
    if (w->menuBar) {
        w->menuBar->setVisible(w->menu != nullptr);
        w->menuBar->setGeometry(0, 0, s.width(), mh);
    }
    if (w->scroller) {
        // the view fills the frame; the client keeps the full size asked for
        w->scroller->setGeometry(0, mh, s.width(), std::max(0, s.height() - mh));
        w->client->resize(w->wanted.width(), std::max(0, w->wanted.height() - mh));
    } else {
        w->client->setGeometry(0, mh, s.width(), std::max(0, s.height() - mh));
    }
    wnd_sync_size(w);
}

void wnd_sync_size(HWND w)
{
    if (!wnd_valid(w) || !w->client || !w->created)
        return;
    QSize s = w->client->size();
    if (s == w->lastSize)
        return;
    QSize old = w->lastSize;
    w->lastSize = s;
    if (w->kind == WndKind::Frame || w->kind == WndKind::Child) {
        wnd_ensure_surface(w);
        bool redraw = w->cls && (w->cls->style & (CS_HREDRAW | CS_VREDRAW));
        if (redraw || !old.isValid())
            w->invalid = QRegion(0, 0, s.width(), s.height());
        else
            w->invalid += QRegion(0, 0, s.width(), s.height()).subtracted(QRegion(0, 0, old.width(), old.height()));
        w->eraseWanted = true;
        wnd_update_visible(w, QRect(QPoint(0, 0), s));
    }
    WPARAM kind = 0;
    if (w->frame && w->frame->isMinimized())
        kind = 1;
    else if (w->frame && w->frame->isMaximized())
        kind = 2;
    QtHandlerScope scope;
    wnd_call(w, WM_SIZE, kind, MAKELPARAM(s.width(), s.height()));
}

QtHandlerScope::QtHandlerScope() { ++g_in_qt_handler; }
QtHandlerScope::~QtHandlerScope() { --g_in_qt_handler; }

void wnd_flush_deletes()
{
    if (g_in_qt_handler || g_pending_deletes.empty())
        return;
    auto pending = std::move(g_pending_deletes);
    g_pending_deletes.clear();
    for (auto& p : pending)
        delete p.data();
}

HWND wnd_from_widget(const QWidget* w)
{
    if (!w)
        return nullptr;
    QVariant v = w->property("ostrel_hwnd");
    if (!v.isValid())
        return nullptr;
    HWND h = reinterpret_cast<HWND>(v.value<quintptr>());
    return (h && h->alive) ? h : nullptr;
}

bool wnd_valid(HWND w)
{
    // another program's window (a search result) has no record here
    return w && !platform_foreign_window(w) && w->alive;
}

LRESULT wnd_call(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (!wnd_valid(w))
        return 0;
    WNDPROC p = w->proc;
    if (!p)
        return DefWindowProcA(w, msg, wp, lp);
    return p(w, msg, wp, lp);
}

QColor wnd_background(HWND w)
{
    HBRUSH b = (w && w->cls) ? w->cls->background : nullptr;
    std::uintptr_t v = reinterpret_cast<std::uintptr_t>(b);
    if (v == 0)
        return QColor(Qt::white);
    if (v <= 31) {
        COLORREF c = GetSysColor(int(v) - 1);
        return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    return brush_colour(b);
}

void wnd_ensure_surface(HWND w)
{
    if (!w || !w->client)
        return;
    // The back buffer follows the client size, within a budget: a window sized
    // beyond any screen must not make the process allocate gigabytes for pixels
    // nobody can see (each side at most 32767, at most 2^27 pixels in all).
    QSize s = w->client->size().expandedTo(QSize(1, 1)).boundedTo(QSize(32767, 32767));
    constexpr qint64 budget = qint64(1) << 27;
    if (qint64(s.width()) * s.height() > budget)
        s.setHeight(int(std::max<qint64>(1, budget / s.width())));
    if (w->surface.size() == s)
        return;
    // A new buffer's pixels are given when first reached (wnd_fill_unfilled): only
    // what the old buffer holds is copied, the rest waits as the background.
    const QColor background = wnd_background(w);
    if (!w->surface.isNull() && w->unfilledColour != background)
        wnd_fill_unfilled(w, QRegion(w->surface.rect()));
    const QRegion kept = QRegion(w->surface.rect() & QRect(QPoint(0, 0), s)) - w->unfilled;
    QImage next(s, QImage::Format_RGB32);
    if (!kept.isEmpty()) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& q : kept)
            p.drawImage(q, w->surface, q);
    }
    w->unfilled = QRegion(QRect(QPoint(0, 0), s)) - kept;
    w->unfilledColour = background;
    w->surface = std::move(next);   // the QImage object stays where it is
}

void wnd_fill_unfilled(HWND w, const QRegion& r)
{
    if (!w || w->unfilled.isEmpty())
        return;
    const QRegion part = w->unfilled & r;
    if (part.isEmpty())
        return;
    w->unfilled -= part;
    QPainter p(&w->surface);
    for (const QRect& q : part)
        p.fillRect(q, w->unfilledColour);
}

// ---- classes ----
ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpszClassName || !*wc->lpszClassName)
        return 0;
    for (auto& c : classes())
        if (!strcasecmp(c->name.c_str(), wc->lpszClassName))
            return 0;
    auto c = std::make_unique<WindowClass>();
    c->name = wc->lpszClassName;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->background = wc->hbrBackground;
    c->icon = wc->hIcon;
    c->cursor = wc->hCursor;
    classes().push_back(std::move(c));
    return ATOM(0xC000 + classes().size());
}

BOOL UnregisterClassA(const char* name, HINSTANCE)
{
    auto& list = classes();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (strcasecmp((*it)->name.c_str(), name ? name : ""))
            continue;
        for (auto& w : windows())
            if (w->alive && w->cls == it->get())
                return FALSE;   // still in use, as Windows refuses
        // The record stays reachable by dead windows: keep it, just unname it.
        (*it)->name.clear();
        return TRUE;
    }
    return FALSE;
}

// ---- creation and destruction ----
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style,
                     int x, int y, int w, int h, HWND parent, HMENU menu, HINSTANCE, void* param)
{
    platform_ensure_application();
    const WindowClass* cls = find_class(className);
    if (!cls)
        return nullptr;
    if ((style & WS_CHILD) && !wnd_valid(parent))
        return nullptr;
    auto rec = std::make_unique<Wnd>();
    HWND wnd = rec.get();
    wnd->cls = cls;
    wnd->proc = cls->proc;
    wnd->style = style & ~WS_VISIBLE;
    wnd->exStyle = exStyle;
    wnd->parent = wnd_valid(parent) ? parent : nullptr;
    QString text = QString::fromUtf8(title ? title : "");

    if (x == CW_USEDEFAULT_VALUE) { x = 40; y = 40; }
    if (w == CW_USEDEFAULT_VALUE) { w = 640; h = 480; }
    w = std::max(w, 0);
    h = std::max(h, 0);

    if (style & WS_CHILD) {
        wnd->id = int(reinterpret_cast<std::intptr_t>(menu));
        QWidget* pw = parent_client(parent);
        QWidget* widget = nullptr;
        if (cls->builtin) {
            if (cls->proc == &richedit_proc) {
                wnd->kind = WndKind::RichEdit;
                widget = richedit_create(pw);
            } else if (cls->proc == &statusbar_proc) {
                wnd->kind = WndKind::StatusBar;
                widget = statusbar_create(pw, style);
            } else {
                wnd->kind = WndKind::Progress;
                widget = progress_create(pw);
            }
        } else {
            wnd->kind = WndKind::Child;
            widget = new SurfaceWidget(wnd, pw);
        }
        wnd->frame = widget;
        wnd->client = widget;
        widget->setProperty("ostrel_hwnd", QVariant::fromValue(quintptr(wnd)));
        widget->setGeometry(safe_geometry(x, y, w, h));
        if (wnd->kind == WndKind::RichEdit || wnd->kind == WndKind::StatusBar)
            widget->setWindowTitle(text);
    } else {
        wnd->kind = WndKind::Frame;
        Qt::WindowFlags flags = Qt::Window;
        if ((style & WS_POPUP) && !(style & WS_CAPTION))
            flags |= Qt::FramelessWindowHint;
        if (exStyle & WS_EX_TOPMOST)
            flags |= Qt::WindowStaysOnTopHint;
        auto* frame = new FrameWidget(wnd, flags);
        frame->setAttribute(Qt::WA_DeleteOnClose, false);
        frame->setWindowTitle(text);
        auto* client = new SurfaceWidget(wnd, frame);
        wnd->frame = frame;
        wnd->client = client;
        frame->setProperty("ostrel_hwnd", QVariant::fromValue(quintptr(wnd)));
        client->setProperty("ostrel_hwnd", QVariant::fromValue(quintptr(wnd)));
        wnd_place_frame(wnd, safe_geometry(x, y, w, h));
        if (cls->icon)
            frame->setWindowIcon(icon_of(cls->icon));
        if (menu)
            menu_attach(wnd, menu);
        if (exStyle & WS_EX_ACCEPTFILES)
            frame->setAcceptDrops(true);
    }
    windows().push_back(std::move(rec));
    filter_install(wnd);
    if (wnd->kind == WndKind::Frame)
        wnd_layout(wnd);
    wnd_ensure_surface(wnd);

    CREATESTRUCTA cs{param, nullptr, (style & WS_CHILD) ? nullptr : menu, wnd->parent, h, w, y, x,
                     LONG(style), title, className, exStyle};
    if (wnd_call(wnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(wnd);
        return nullptr;
    }
    if (!wnd->alive)
        return nullptr;
    wnd->created = true;
    wnd_sync_size(wnd);
    if (style & WS_VISIBLE)
        ShowWindow(wnd, SW_SHOW);
    return wnd_valid(wnd) ? wnd : nullptr;
}

BOOL DestroyWindow(HWND w)
{
    if (!wnd_valid(w) || w->destroying)
        return FALSE;
    w->destroying = true;
    wnd_call(w, WM_DESTROY, 0, 0);
    // children after their parent, as Windows does
    std::vector<HWND> kids;
    for (auto& c : windows())
        if (c->alive && c->parent == w)
            kids.push_back(c.get());
    for (HWND k : kids)
        DestroyWindow(k);
    w->alive = false;
    queue_forget_window(w);
    QPointer<QWidget> top = w->frame;
    if (top) {
        top->hide();
        top->setProperty("ostrel_hwnd", QVariant());
        if (w->client)
            w->client->setProperty("ostrel_hwnd", QVariant());
        if (g_in_qt_handler) {
            top->setParent(nullptr);
            g_pending_deletes.push_back(top);
        } else {
            delete top.data();
        }
    }
    return TRUE;
}

BOOL IsWindow(HWND w) { return wnd_valid(w) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND w)
{
    return (wnd_valid(w) && w->frame && w->frame->isVisible()) ? TRUE : FALSE;
}

BOOL IsIconic(HWND w)
{
    return (wnd_valid(w) && w->kind == WndKind::Frame && w->frame && w->frame->isMinimized()) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND w, int cmd)
{
    if (!wnd_valid(w) || !w->frame)
        return FALSE;
    QWidget* f = w->frame;
    BOOL was = f->isVisibleTo(f->parentWidget() ? f->parentWidget() : f) && !f->isHidden();
    bool top = w->kind == WndKind::Frame;
    bool firstShow = f->isHidden();
    switch (cmd) {
    case SW_HIDE:
        f->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        if (top) f->showMinimized(); else f->show();
        break;
    case SW_SHOWMAXIMIZED:
        if (top) f->showMaximized(); else f->show();
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        f->setAttribute(Qt::WA_ShowWithoutActivating, true);
        f->show();
        f->setAttribute(Qt::WA_ShowWithoutActivating, false);
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (top) { f->showNormal(); f->raise(); f->activateWindow(); } else f->show();
        break;
    default:
        f->show();
        if (top) { f->raise(); f->activateWindow(); }
        break;
    }
    if (cmd != SW_HIDE && firstShow && (w->kind == WndKind::Frame || w->kind == WndKind::Child)) {
        w->invalid = QRegion(0, 0, w->surface.width(), w->surface.height());
        w->eraseWanted = true;
        if (w->client)
            wnd_update_visible(w, QRect(QPoint(0, 0), w->client->size()));
    }
    if (top)
        wnd_layout(w);
    return was;
}

BOOL MoveWindow(HWND w, int x, int y, int cx, int cy, BOOL repaint)
{
    if (!wnd_valid(w) || !w->frame)
        return FALSE;
    if (w->kind == WndKind::Frame)
        wnd_place_frame(w, safe_geometry(x, y, cx, cy));
    else
        w->frame->setGeometry(safe_geometry(x, y, cx, cy));
    if (w->kind == WndKind::Frame)
        wnd_layout(w);
    else
        wnd_sync_size(w);
    if (repaint && w->client)
        wnd_update_visible(w, QRect(QPoint(0, 0), w->client->size()));
    return TRUE;
}

BOOL SetWindowPos(HWND w, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    if (!wnd_valid(w) || !w->frame)
        return FALSE;
    QWidget* f = w->frame;
    QRect g = w->kind == WndKind::Frame ? wnd_frame_rect(w) : f->geometry();
    QRect want = safe_geometry(x, y, cx, cy);
    if (!(flags & SWP_NOMOVE))
        g.moveTo(want.topLeft());
    if (!(flags & SWP_NOSIZE))
        g.setSize(want.size());
    if (w->kind == WndKind::Frame)
        wnd_place_frame(w, g);
    else
        f->setGeometry(g);
    if (!(flags & SWP_NOZORDER) && w->kind == WndKind::Frame) {
        if (after == HWND_TOPMOST)
            f->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        else if (after == HWND_NOTOPMOST)
            f->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        f->raise();
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(w, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(w, SW_HIDE);
    if (w->kind == WndKind::Frame)
        wnd_layout(w);
    else
        wnd_sync_size(w);
    return TRUE;
}

BOOL GetWindowRect(HWND w, RECT* r)
{
    if (!wnd_valid(w) || !w->frame || !r)
        return FALSE;
    const QRect f = wnd_frame_rect(w);
    *r = RECT{f.x(), f.y(), f.x() + f.width(), f.y() + f.height()};
    return TRUE;
}

BOOL GetClientRect(HWND w, RECT* r)
{
    if (!wnd_valid(w) || !w->client || !r)
        return FALSE;
    *r = RECT{0, 0, w->client->width(), w->client->height()};
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* r, DWORD, BOOL menu, DWORD)
{
    if (!r)
        return FALSE;
    // Decorations belong to the desktop's window manager, outside our window
    // rectangle; only the menu bar takes room from the client area.
    if (menu)
        r->top -= GetSystemMetrics(SM_CYMENU);
    return TRUE;
}

BOOL ClientToScreen(HWND w, POINT* p)
{
    if (!wnd_valid(w) || !w->client || !p)
        return FALSE;
    QPoint g = w->client->mapToGlobal(QPoint(p->x, p->y));
    p->x = g.x();
    p->y = g.y();
    return TRUE;
}

BOOL ScreenToClient(HWND w, POINT* p)
{
    if (!wnd_valid(w) || !w->client || !p)
        return FALSE;
    QPoint c = w->client->mapFromGlobal(QPoint(p->x, p->y));
    p->x = c.x();
    p->y = c.y();
    return TRUE;
}

BOOL SetWindowTextA(HWND w, const char* text)
{
    if (!wnd_valid(w))
        return FALSE;
    return wnd_call(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND w, char* buf, int max)
{
    if (!buf || max <= 0)
        return 0;
    buf[0] = 0;
    if (!wnd_valid(w))
        return 0;
    return int(wnd_call(w, WM_GETTEXT, WPARAM(max), reinterpret_cast<LPARAM>(buf)));
}

int GetWindowTextLengthA(HWND w)
{
    return wnd_valid(w) ? int(wnd_call(w, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

int GetClassNameA(HWND w, char* buf, int max)
{
    if (!wnd_valid(w) || !buf || max <= 0 || !w->cls)
        return 0;
    int n = std::min<int>(int(w->cls->name.size()), max - 1);
    std::memcpy(buf, w->cls->name.data(), size_t(n));
    buf[n] = 0;
    return n;
}

HWND SetFocus(HWND w)
{
    HWND old = GetFocus();
    if (!wnd_valid(w))
        return old;
    QWidget* target = w->kind == WndKind::Frame ? w->client.data() : w->frame.data();
    if (target) {
        if (target->window() && target->window()->isVisible())
            target->window()->activateWindow();
        target->setFocus(Qt::OtherFocusReason);
    }
    return old;
}

HWND GetFocus()
{
    for (QWidget* f = QApplication::focusWidget(); f; f = f->parentWidget())
        if (HWND h = wnd_from_widget(f))
            return h;
    return nullptr;
}

HWND GetActiveWindow()
{
    return wnd_from_widget(QApplication::activeWindow());
}

BOOL SetForegroundWindow(HWND w)
{
    if (!wnd_valid(w) || !w->frame)
        return FALSE;
    QWidget* top = w->frame->window();
    top->raise();
    top->activateWindow();
    return TRUE;
}

BOOL BringWindowToTop(HWND w)
{
    if (!wnd_valid(w) || !w->frame)
        return FALSE;
    w->frame->raise();
    return TRUE;
}

HWND GetParent(HWND w)
{
    return (wnd_valid(w) && wnd_valid(w->parent)) ? w->parent : nullptr;
}

HWND GetDlgItem(HWND parent, int id)
{
    if (!wnd_valid(parent))
        return nullptr;
    for (auto& c : windows())
        if (c->alive && c->parent == parent && (c->style & WS_CHILD) && c->id == id)
            return c.get();
    return nullptr;
}

int GetDlgCtrlID(HWND w)
{
    return (wnd_valid(w) && (w->style & WS_CHILD)) ? w->id : 0;
}

static DWORD current_style(HWND w)
{
    DWORD s = w->style & ~WS_VISIBLE;
    if (w->frame && !w->frame->isHidden())
        s |= WS_VISIBLE;
    if (w->frame && !w->frame->isEnabled())
        s |= WS_DISABLED;
    return s;
}

std::intptr_t GetWindowLongPtrA(HWND w, int index)
{
    if (!wnd_valid(w))
        return 0;
    switch (index) {
    case GWL_STYLE: return std::intptr_t(LONG(current_style(w)));
    case GWL_EXSTYLE: return std::intptr_t(LONG(w->exStyle));
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->userData;
    case GWLP_WNDPROC: return reinterpret_cast<std::intptr_t>(w->proc);
    case GWLP_HINSTANCE: return 0;
    default: return 0;
    }
}

std::intptr_t SetWindowLongPtrA(HWND w, int index, std::intptr_t value)
{
    if (!wnd_valid(w))
        return 0;
    std::intptr_t old = GetWindowLongPtrA(w, index);
    switch (index) {
    case GWL_STYLE:
        w->style = DWORD(value) & ~WS_VISIBLE;
        break;
    case GWL_EXSTYLE:
        w->exStyle = DWORD(value);
        if (w->frame && w->kind == WndKind::Frame)
            w->frame->setAcceptDrops(w->exStyle & WS_EX_ACCEPTFILES);
        break;
    case GWLP_ID: w->id = int(value); break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    default: return 0;
    }
    return old;
}

LONG GetWindowLongA(HWND w, int index) { return LONG(GetWindowLongPtrA(w, index)); }
LONG SetWindowLongA(HWND w, int index, LONG value) { return LONG(SetWindowLongPtrA(w, index, value)); }

BOOL EnableWindow(HWND w, BOOL enable)
{
    if (!wnd_valid(w) || !w->frame)
        return FALSE;
    BOOL wasDisabled = !w->frame->isEnabled();
    w->frame->setEnabled(enable != 0);
    return wasDisabled;
}

// ---- the seam with GDI ----
QImage* platform_window_surface(HWND w)
{
    if (!wnd_valid(w) || (w->kind != WndKind::Frame && w->kind != WndKind::Child))
        return nullptr;
    wnd_ensure_surface(w);
    platform_window_settle(w, nullptr);   // the caller reads the pixels
    return wnd_valid(w) ? &w->surface : nullptr;
}

void platform_window_settle(HWND w, const RECT* r)
{
    if (!wnd_valid(w) || !w->client)
        return;
    QRegion due = r ? QRegion(QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)))
                    : QRegion(QRect(QPoint(0, 0), w->client->size()));
    wnd_fill_unfilled(w, r ? due : QRegion(w->surface.rect()));   // the reader sees pixels, never untouched memory
    if (!w->invalid.isEmpty())
        wnd_paint_now(w, due);
}

namespace {
void reach(HWND w, const RECT* r)
{
    if (!wnd_valid(w) || w->unfilled.isEmpty())
        return;
    wnd_fill_unfilled(w, r ? QRegion(QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)))
                           : QRegion(w->surface.rect()));
}

// GDI asks before it reads a window's pixels, and before it touches them.
const bool settle_registered = (gdi_set_window_settle(platform_window_settle), true);
const bool reach_registered = (gdi_set_window_reach(reach), true);
} // namespace

void platform_window_flush(HWND w, const RECT* r)
{
    if (!wnd_valid(w) || !w->client)
        return;
    if (auto* surface = dynamic_cast<SurfaceWidget*>(w->client.data())) {
        surface->flush_held();
        return;
    }
    if (r)
        w->client->repaint(QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)));
    else
        w->client->repaint();
}

QWidget* platform_window_widget(HWND w)
{
    return wnd_valid(w) ? w->frame.data() : nullptr;
}

HWND platform_widget_window(QWidget* widget)
{
    return wnd_from_widget(widget);
}

std::vector<HWND> wnd_all()
{
    std::vector<HWND> out;
    for (auto& c : windows())
        if (c->alive)
            out.push_back(c.get());
    return out;
}

HWND wnd_adopt(QWidget* top)
{
    auto rec = std::make_unique<Wnd>();
    HWND w = rec.get();
    w->kind = WndKind::Dialog;
    w->style = WS_POPUP | WS_CAPTION;
    w->frame = top;
    w->client = top;
    top->setProperty("ostrel_hwnd", QVariant::fromValue(quintptr(w)));
    windows().push_back(std::move(rec));
    return w;
}
