// The window procedure of page windows, canvas children and full-screen pages.
// The runtime takes creation, closing, painting, its menu commands and drops;
// everything else (mouse, keys, Help) goes to the program's message hook and
// then to the default handling.
#include "runtime/pages/page_internal.h"

namespace {

// Keeps the canvas over the client area above the status bar, and the status
// bar's parts over the width.
void on_size(_page* pg, HWND w, WPARAM wp, LPARAM lp)
{
    if (!pg || pg->kind != PAGE_WINDOW || w != pg->hwnd)
        return;
    int status_h = 0;
    if (pg->status) {
        RECT s{};
        if (GetWindowRect(pg->status, &s))
            status_h = s.bottom - s.top;
    }
    if (pg->canvas) {
        RECT c{};
        GetClientRect(w, &c);
        int h = (c.bottom - c.top) - status_h;
        SetWindowPos(pg->canvas, nullptr, 0, 0, c.right - c.left, h < 0 ? 0 : h, SWP_NOZORDER);
    }
    if (pg->status) {
        page_layout_status(pg->number);
        SendMessageA(pg->status, WM_SIZE, wp, lp);
    }
}

void on_paint(HWND w)
{
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(w, &ps);
    _page* pg = page_of_window(w);
    // A page with a canvas shows its content there, not behind it.
    if (pg && dc && (w == pg->canvas || (w == pg->hwnd && !pg->canvas)))
        _paintpage(pg, dc, &ps.rcPaint);
    EndPaint(w, &ps);
}

// 1 when the command is the runtime's own (consumed).
bool on_command(HWND w, WPARAM wp)
{
    int id = LOWORD(wp);
    _page* pg = page_of_window(w);
    int page = pg ? pg->number : 0;
    switch (id) {
    case IDM_COPY:
        if (page)
            _copypage(page);
        return true;
    case IDM_PRINT:
        if (page)
            _printpage(page);
        return true;
    case IDM_EXIT:
        DestroyWindow(page_console_window());
        return true;
    case IDM_HELP:
        page_help_hook();
        return false;
    default:
        if (id >= IDM_WINDOW) {
            _activatewindow(id - IDM_WINDOW);
            return true;
        }
        return false;
    }
}

} // namespace

LRESULT page_window_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        return 0;
    case WM_CLOSE:
        // Closing any page ends the program: console teardown closes every page.
        DestroyWindow(page_console_window());
        return 0;
    case WM_SIZE:
        on_size(page_of_window(w), w, wp, lp);
        break;
    case WM_PAINT:
        on_paint(w);
        return 0;
    case WM_COMMAND:
        if (on_command(w, wp))
            return 0;
        break;
    case WM_INITMENUPOPUP:
        _windowmenu(reinterpret_cast<HMENU>(wp));
        break;
    case WM_DROPFILES:
    {
        _page* pg = page_of_window(w);
        page_route_drop(pg ? pg->number : 0, reinterpret_cast<HDROP>(wp));
    }
        return 0;
    default:
        break;
    }
    if (page_message_hook(w, msg, wp, lp))
        return 0;
    return DefWindowProcA(w, msg, wp, lp);
}
