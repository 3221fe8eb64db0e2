// The thread's message queue: posted messages, input turned into messages by the
// event filter, and the quit message, in arrival order. GetMessage waits in Qt's
// event loop until something matching is queued; PeekMessage lets Qt run once.
#include "platform/win/win_internal.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <deque>
#include <string>
#include <strings.h>
#include <vector>

namespace {

std::deque<MSG>& queue()
{
    static std::deque<MSG> q;
    return q;
}

bool matches(const MSG& m, HWND w, UINT lo, UINT hi)
{
    if (m.message == WM_QUIT)
        return true;   // always retrieved, whatever the filter
    if (w && m.hwnd != w)
        return false;
    if ((lo || hi) && (m.message < lo || m.message > hi))
        return false;
    return true;
}

bool take(MSG* out, HWND w, UINT lo, UINT hi, bool remove)
{
    auto& q = queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (!matches(*it, w, lo, hi))
            continue;
        if (out)
            *out = *it;
        if (remove)
            q.erase(it);
        return true;
    }
    return false;
}

// Qt's own events (input, paint, timers) are read at most every 2 ms by polling:
// a program that prints in a tight loop pumps after every line, and letting Qt
// repaint the text area after each of them would cost far more than the output.
// Waiting in GetMessage always reads them at once.
qint64 g_last_events = -1000000;

qint64 now_us()
{
    static QElapsedTimer t = [] { QElapsedTimer e; e.start(); return e; }();
    return t.nsecsElapsed() / 1000;
}

void run_qt(QEventLoop::ProcessEventsFlags flags)
{
    g_last_events = now_us();
    QCoreApplication::processEvents(flags);
}

QPoint cursor_pos()
{
    return QCursor::pos();
}

} // namespace

DWORD GetTickCount()
{
    static QElapsedTimer t = [] { QElapsedTimer e; e.start(); return e; }();
    return DWORD(t.elapsed());
}

void queue_post(const MSG& m)
{
    MSG c = m;
    if (!c.time)
        c.time = GetTickCount();
    queue().push_back(c);
    if (auto* d = QAbstractEventDispatcher::instance())
        d->wakeUp();
}

void queue_forget_window(HWND w)
{
    auto& q = queue();
    q.erase(std::remove_if(q.begin(), q.end(), [w](const MSG& m) { return m.hwnd == w && m.message != WM_QUIT; }),
            q.end());
}

void queue_drop_char_of(std::uint32_t serial)
{
    if (!serial)
        return;
    auto& q = queue();
    q.erase(std::remove_if(q.begin(), q.end(),
                           [serial](const MSG& m) {
                               return (m.message == WM_CHAR || m.message == WM_SYSCHAR) && key_serial(m.lParam) == serial;
                           }),
            q.end());
}

BOOL PostMessageA(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (w && !wnd_valid(w))
        return FALSE;
    QPoint p = cursor_pos();
    queue_post(MSG{w, msg, wp, lp, GetTickCount(), POINT{p.x(), p.y()}});
    return TRUE;
}

void PostQuitMessage(int code)
{
    queue_post(MSG{nullptr, WM_QUIT, WPARAM(code), 0, GetTickCount(), POINT{0, 0}});
}

BOOL GetMessageA(MSG* msg, HWND w, UINT lo, UINT hi)
{
    if (!msg)
        return -1;
    if (w && !wnd_valid(w))
        return -1;
    platform_ensure_application();
    for (;;) {
        wnd_flush_deletes();
        if (take(msg, w, lo, hi, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        run_qt(QEventLoop::AllEvents);
        if (take(msg, w, lo, hi, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        run_qt(QEventLoop::WaitForMoreEvents);
    }
}

BOOL PeekMessageA(MSG* msg, HWND w, UINT lo, UINT hi, UINT remove)
{
    platform_ensure_application();
    wnd_flush_deletes();
    bool rm = (remove & PM_REMOVE) != 0;
    if (take(msg, w, lo, hi, rm))
        return TRUE;
    if (now_us() - g_last_events < 2000)
        return FALSE;
    run_qt(QEventLoop::AllEvents);
    return take(msg, w, lo, hi, rm) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    // Character messages are made together with their key-down message by the
    // event filter; translating again would double them.
    return (msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !msg->hwnd || !wnd_valid(msg->hwnd))
        return 0;
    return wnd_call(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageA(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return wnd_call(w, msg, wp, lp);
}

UINT RegisterWindowMessageA(const char* name)
{
    static std::vector<std::string> names;
    if (!name || !*name)
        return 0;
    for (size_t i = 0; i < names.size(); ++i)
        if (!strcasecmp(names[i].c_str(), name))
            return UINT(0xC000 + i);
    if (names.size() >= 0x3FFF)
        return 0;
    names.emplace_back(name);
    return UINT(0xC000 + names.size() - 1);
}
