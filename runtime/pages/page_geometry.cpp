// Window geometry by page number: handles, moving, sizing (with the rule that
// negative sizes ask for an exact client area), centring, titles, and the frame,
// status and resolution figures that programs size their pages with.
#include "runtime/pages/page_internal.h"

#include <cstdint>

namespace {

// What the desktop leaves to windows (the screen less panels and docks).
RECT work_area()
{
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

} // namespace

HWND _pagewindow(int page)
{
    if (page == 0)
        return page_console_window();
    _page* pg = _pagerecord(page);
    return pg ? pg->hwnd : nullptr;
}

HWND _pagecanvas(int page)
{
    if (page == 0)
        return page_console_text();
    _page* pg = _pagerecord(page);
    return pg ? pg->canvas : nullptr;
}

int _windowpage(HWND window)
{
    if (!window)
        return 0;
    for (int i = 1; i < OSTREL_PAGES; ++i)
        if (_pagerecord(i) && _pagerecord(i)->hwnd == window)
            return i;
    return 0;
}

_page* page_of_window(HWND w)
{
    if (!w)
        return nullptr;
    for (int i = 1; i < OSTREL_PAGES; ++i) {
        _page* pg = _pagerecord(i);
        if (pg && (pg->hwnd == w || pg->canvas == w))
            return pg;
    }
    return nullptr;
}

int _movepage(int page, double x, double y)
{
    HWND w = _pagewindow(page);
    if (!w)
        return 0;
    RECT r{};
    GetWindowRect(w, &r);
    return MoveWindow(w, page_trunc(x), page_trunc(y), r.right - r.left, r.bottom - r.top, TRUE);
}

int _settitle(int page, const char* title)
{
    HWND w = _pagewindow(page);
    if (!w || !title)
        return 0;
    return SetWindowTextA(w, title) ? 1 : 0;
}

int page_size_rule(HWND w, double width, double height)
{
    RECT wr{}, cr{};
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    long long ow = wr.right - wr.left, oh = wr.bottom - wr.top;
    long long cw = cr.right - cr.left, ch = cr.bottom - cr.top;
    int again = 0;
    long long nw = ow, nh = oh;
    // The wanted size is taken as an int first: a huge request cannot overflow
    // the frame arithmetic below.
    long long iw = page_trunc(width), ih = page_trunc(height);
    if (iw > 0) {
        nw = iw;
    } else if (iw < 0 || width < 0) {
        if (-iw != cw)
            again = 1;
        nw = -iw + (ow - cw);
    }
    if (ih > 0) {
        nh = ih;
    } else if (ih < 0 || height < 0) {
        if (-ih != ch)
            again = 1;
        nh = -ih + (oh - ch);
    }
    auto clamp = [](long long v) { return int(v < 0 ? 0 : v > INT32_MAX ? INT32_MAX : v); };
    MoveWindow(w, wr.left, wr.top, clamp(nw), clamp(nh), TRUE);
    return again;
}

int _sizepage(int page, double w, double h)
{
    HWND win = _pagewindow(page);
    if (!win)
        return 0;
    if (page_size_rule(win, w, h))
        page_size_rule(win, w, h);
    return 1;
}

int _placepage(int page, const char* title, double x, double y, double w, double h)
{
    _movepage(page, x, y);
    _sizepage(page, w, h);
    return _settitle(page, title);
}

int _centerpage(int page, const char* title, double w, double h)
{
    HWND win = _pagewindow(page);
    if (!win)
        return 0;
    RECT r{};
    GetWindowRect(win, &r);
    if (w == 0)
        w = r.right - r.left;
    if (h == 0)
        h = r.bottom - r.top;
    if (w > 0 && h > 0) {
        RECT a = work_area();
        double x = a.left + ((a.right - a.left) - w) / 2;
        double y = a.top + ((a.bottom - a.top) - h) / 2;
        if (!MoveWindow(win, page_trunc(x), page_trunc(y), page_trunc(w), page_trunc(h), TRUE))
            return 0;
    }
    if (!title)
        return 1;
    return _settitle(page, title);
}

int _toppage(int page, int activate)
{
    HWND w = _pagewindow(page);
    if (!w)
        return 0;
    UINT flags = SWP_NOSIZE | SWP_NOMOVE | (activate ? SWP_SHOWWINDOW : SWP_NOACTIVATE);
    return SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, flags);
}

int _framewidth()
{
    return 2 * GetSystemMetrics(SM_CXFRAME);
}

int _frameheight()
{
    return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU)
           + 2 * GetSystemMetrics(SM_CYFRAME);
}

int _statusheight()
{
    RECT r{};
    HWND s = page_console_status();
    if (!s || !GetWindowRect(s, &r))
        return 0;
    return r.bottom - r.top;
}

int _dpix()
{
    HWND w = page_console_window();
    HDC dc = GetDC(w);
    int v = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc)
        ReleaseDC(w, dc);
    return v;
}

int _dpiy()
{
    HWND w = page_console_window();
    HDC dc = GetDC(w);
    int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(w, dc);
    return v;
}
