// The console window procedure: creation of the text area, layout, activation,
// painting, closing, the menu commands, drops and the Find message; then the
// message hook and the default handling for what it does not consume.
#include "ostrel/pages.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/commctrl.h"
#include "runtime/console/console_state.h"
#include "runtime/pages/page_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

void create_text_area(HWND w)
{
    ConsoleState& s = cs();
    RECT r{};
    GetClientRect(w, &r);
    s.text = CreateWindowExA(WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE, "RichEdit", "",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_DISABLENOSCROLL | ES_AUTOHSCROLL
                                 | ES_AUTOVSCROLL | ES_MULTILINE,
                             0, 0, r.right, r.bottom, w, reinterpret_cast<HMENU>(std::intptr_t(IDC_CONSOLETEXT)),
                             s.instance, nullptr);
    if (!s.text) {
        PostQuitMessage(0);
        return;
    }
    LOGFONTA lf{};
    lf.lfHeight = 12;
    lf.lfWeight = 0;
    lf.lfCharSet = 1;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "ＭＳ ゴシック");
    s.console_font = CreateFontIndirectA(&lf);
    if (s.console_font)
        SendMessageA(s.text, WM_SETFONT, reinterpret_cast<WPARAM>(s.console_font), TRUE);
    SendMessageA(s.text, EM_SETREADONLY, 1, 0);
}

// 1 when the command is the console's own.
bool command(WPARAM wp)
{
    ConsoleState& s = cs();
    int id = LOWORD(wp);
    switch (id) {
    case IDM_EXIT: DestroyWindow(s.console); return true;
    case IDM_UNDO: SendMessageA(s.text, EM_UNDO, 0, 0); return true;
    case IDM_CUT: SendMessageA(s.text, WM_CUT, 0, 0); return true;
    case IDM_COPY: SendMessageA(s.text, WM_COPY, 0, 0); return true;
    case IDM_PASTE: SendMessageA(s.text, WM_PASTE, 0, 0); return true;
    case IDM_CLEARALL: SetWindowTextA(s.text, ""); return false;   // the hook hears of it too
    case IDM_SELECTALL: SendMessageA(s.text, EM_SETSEL, 0, LPARAM(-1)); return true;
    case IDM_FONTBIG: _setconsolefont(1); return true;
    case IDM_FONTNORMAL: _setconsolefont(0); return true;
    case IDM_FONTSMALL: _setconsolefont(-1); return true;
    case IDM_FIND: console_find_open(); return true;
    case IDM_HELP: _callhelphook(); return true;
    default:
        if (id >= IDM_WINDOW) {
            _activatewindow(id - IDM_WINDOW);
            return true;
        }
        return false;
    }
}

// 1 when the runtime consumed the message.
bool own(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    ConsoleState& s = cs();
    switch (msg) {
    case WM_CREATE:
        s.console = w;
        create_text_area(w);
        return true;
    case WM_DESTROY:
        _consoleteardown();
        return true;
    case WM_SIZE:
        console_layout();
        return true;
    case WM_ACTIVATE:
        if (IsWindowVisible(w) && LOWORD(wp) != WA_INACTIVE && !IsIconic(w))
            SetFocus(s.text);
        return false;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return true;
    }
    case WM_CLOSE:
        DestroyWindow(w);
        return true;
    case WM_COMMAND:
        return command(wp);
    case WM_INITMENUPOPUP:
        _windowmenu(reinterpret_cast<HMENU>(wp));
        return false;
    case WM_DROPFILES:
        _routedrop(0, reinterpret_cast<HDROP>(wp));
        return true;
    default:
        return console_find_message(msg, lp);
    }
}

} // namespace

LRESULT console_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (own(w, msg, wp, lp))
        return 0;
    if (_callmsghook(w, msg, wp, lp))
        return 0;
    return DefWindowProcA(w, msg, wp, lp);
}

void console_layout()
{
    ConsoleState& s = cs();
    if (!IsWindow(s.console))
        return;
    RECT c{}, sb{};
    GetClientRect(s.console, &c);
    int sh = 0;
    if (IsWindow(s.status) && GetWindowRect(s.status, &sb))
        sh = sb.bottom - sb.top;
    if (IsWindow(s.text))
        MoveWindow(s.text, 0, 0, c.right, std::max(0, int(c.bottom) - sh), TRUE);
    if (IsWindow(s.status)) {
        int w = std::max(int(c.right), 240);
        int edges[3] = {w - 160, w - 60, w};
        SendMessageA(s.status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
        SendMessageA(s.status, WM_SIZE, 0, 0);
    }
}

void _consoleteardown()
{
    ConsoleState& s = cs();
    if (s.destroy_hook)
        s.destroy_hook();
    if (s.f3) {
        DestroyAcceleratorTable(s.f3);
        s.f3 = nullptr;
    }
    if (page_end_drawing() && s.console_font) {
        DeleteObject(s.console_font);
        s.console_font = nullptr;
    }
    for (int i = 1; i < OSTREL_PAGES; ++i)
        if (_pagerecord(i))
            _delpage(i);
    // Streams the program opened are flushed here; the C exit that follows the
    // quit message closes them (there is no portable way to list them).
    std::fflush(nullptr);
    PostQuitMessage(0);
}
