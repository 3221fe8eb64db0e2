// Status lines: the console's three parts and each page's two parts with its
// progress bar; the caret-position display; the mouse cursor.
#include "ostrel/pages.h"
#include "platform/utf8_cut.h"
#include "platform/win/commctrl.h"
#include "runtime/console/console_state.h"
#include "runtime/pages/page_record.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Writes text into a part unless it already shows exactly that.
void write_part(HWND bar, int part, const char* text)
{
    if (!IsWindow(bar))
        return;
    char current[260] = {};
    SendMessageA(bar, SB_GETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(current));
    // at most 259 bytes, never ending inside a character
    const char* src = text ? text : "";
    size_t n = utf8_cut(src, std::strlen(src), 259);
    char next[260];
    std::memcpy(next, src, n);
    next[n] = 0;
    if (std::strlen(current) == n && std::strncmp(current, next, n) == 0)
        return;
    SendMessageA(bar, SB_SETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(next));
}

_page* window_page(int page)
{
    _page* pg = _pagerecord(page);
    return (pg && pg->kind == PAGE_WINDOW && IsWindow(pg->hwnd)) ? pg : nullptr;
}

} // namespace

HWND _pagestatusbar(int page, int create)
{
    _page* pg = _pagerecord(page);
    if (!pg)
        return nullptr;
    if (pg->status || !create || !window_page(page))
        return pg->status;
    HINSTANCE inst = cs().instance;
    pg->status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, pg->hwnd,
                                 nullptr, inst, nullptr);
    if (pg->status)
        pg->progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 0, 0, pg->status, nullptr, inst, nullptr);
    RECT c{};
    GetClientRect(pg->hwnd, &c);
    // the page lays out its canvas above the new bar, and the bar's parts
    SendMessageA(pg->hwnd, WM_SIZE, 0, MAKELPARAM(c.right, c.bottom));
    _layoutpagestatus(page);
    return pg->status;
}

void _layoutpagestatus(int page)
{
    _page* pg = _pagerecord(page);
    if (!pg || !IsWindow(pg->status) || !IsWindow(pg->hwnd))
        return;
    RECT c{};
    GetClientRect(pg->hwnd, &c);
    int edges[2] = {150, int(c.right)};
    SendMessageA(pg->status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageA(pg->status, WM_SIZE, 0, 0);
}

int _setstatus(int page, const char* text)
{
    if (page <= 0) {
        if (page < -2)
            return 0;
        write_part(cs().status, -page, text);
        return 1;
    }
    if (!_pagerecord(page))
        return 0;
    if (HWND bar = _pagestatusbar(page, 1))
        write_part(bar, 1, text);
    return 1;
}

int _printstatus(int page, const char* format, ...)
{
    if (page < -2)
        return 0;
    char buf[512];
    va_list ap;
    va_start(ap, format);
    buf[0] = '\0';
    if (format)
        std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    return _setstatus(page, buf);
}

int _getstatus(int page, char* buf)
{
    if (!buf || page < -2)
        return 0;
    buf[0] = 0;
    HWND bar = nullptr;
    int part = 0;
    if (page <= 0) {
        bar = cs().status;
        part = -page;
    } else {
        if (!_pagerecord(page))
            return 0;
        bar = _pagerecord(page)->status;
    }
    if (IsWindow(bar))
        SendMessageA(bar, SB_GETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(buf));
    return 1;
}

void _printpagestatus(int page, const char* format, ...)
{
    if (page < 1 || !window_page(page))
        return;
    HWND bar = _pagestatusbar(page, 1);
    _page* pg = _pagerecord(page);
    if (pg->progress && IsWindowVisible(pg->progress))
        ShowWindow(pg->progress, SW_HIDE);
    char buf[256];
    va_list ap;
    va_start(ap, format);
    buf[0] = '\0';
    if (format)
        std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    write_part(bar, 0, buf);
}

void _setprogress(int page, double value, double low, double high)
{
    if (page < 1 || !window_page(page))
        return;
    HWND bar = _pagestatusbar(page, 1);
    _page* pg = _pagerecord(page);
    if (!bar || !pg->progress)
        return;
    if (!IsWindowVisible(pg->progress)) {
        SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
        RECT r{};
        GetWindowRect(bar, &r);
        int edge = GetSystemMetrics(SM_CYEDGE);
        MoveWindow(pg->progress, 0, edge, 150, (r.bottom - r.top) - edge, TRUE);
        SendMessageA(pg->progress, PBM_SETPOS, 0, 0);
        ShowWindow(pg->progress, SW_SHOWNA);
    }
    double p = value / (high - low) * 100 + 0.5;
    if (std::isnan(p))
        p = 0;
    p = p < 0 ? 0 : p > 100 ? 100 : p;
    SendMessageA(pg->progress, PBM_SETPOS, WPARAM(int(p)), 0);
}

HWND _getstatusbar(int page)
{
    if (page == 0)
        return cs().status;
    if (page < 0 || page >= OSTREL_PAGES)
        return nullptr;
    _page* pg = _pagerecord(page);
    return pg ? pg->status : nullptr;
}

void _showcaretpos(MSG* msg)
{
    ConsoleState& s = cs();
    if (!msg || !s.text || msg->hwnd != s.text || !IsWindow(s.text))
        return;
    CHARRANGE r{0, 0};
    SendMessageA(s.text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    if (r.cpMin == s.last_caret)
        return;
    s.last_caret = r.cpMin;
    LRESULT line = SendMessageA(s.text, EM_EXLINEFROMCHAR, 0, LPARAM(r.cpMin));
    LRESULT first = SendMessageA(s.text, EM_LINEINDEX, WPARAM(line), 0);
    _printstatus(-2, "%d %d", int(line) + 1, int(r.cpMin - first));
    // A selection keeps its own colours; the input format is for typing.
    if (!s.printing_flag && r.cpMin == r.cpMax)
        console_apply_input_format();
}

HCURSOR _setcursor(int id)
{
    return SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
}

HCURSOR _setcursor(const char* id)
{
    return SetCursor(LoadCursorA(nullptr, id));
}
