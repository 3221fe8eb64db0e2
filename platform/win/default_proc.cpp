// DefWindowProcA: what the toolkit does with a message nobody consumed. Key
// messages hand their original Qt event to the widget now; a right button
// released asks for a context menu, which a child passes to its parent; WM_CLOSE
// destroys the window; WM_PAINT validates; the title is the window text.
#include "platform/win/win_internal.h"
#include "platform/utf8_cut.h"

#include <algorithm>
#include <cstring>

LRESULT DefWindowProcA(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (!wnd_valid(w))
        return 0;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        if (key_delivers(lp))
            key_deliver(key_serial(lp));
        return 0;
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(w, &p);
        SendMessageA(w, WM_CONTEXTMENU, WPARAM(w), MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_CONTEXTMENU:
        if (HWND parent = GetParent(w))
            SendMessageA(parent, WM_CONTEXTMENU, wp, lp);
        return 0;
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
        if (w->frame)
            w->frame->setWindowTitle(QString::fromUtf8(lp ? reinterpret_cast<const char*>(lp) : ""));
        return TRUE;
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf || wp == 0)
            return 0;
        QByteArray t = w->frame ? w->frame->windowTitle().toUtf8() : QByteArray();
        size_t n = utf8_cut(t.constData(), size_t(t.size()), size_t(wp) - 1);
        std::memcpy(buf, t.constData(), n);
        buf[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return w->frame ? LRESULT(w->frame->windowTitle().toUtf8().size()) : 0;
    default:
        return 0;
    }
}
