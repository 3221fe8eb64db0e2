// Selecting a page (which also shows what was drawn on it), repaint requests,
// page colours, the page origin and hiding full-screen pages.
#include "runtime/pages/page_internal.h"

void page_invalidate(_page* pg, int erase)
{
    if (pg->canvas) {
        InvalidateRect(pg->canvas, nullptr, erase);
        return;
    }
    if (!pg->hwnd)
        return;
    RECT r{};
    GetClientRect(pg->hwnd, &r);
    if (pg->status) {
        RECT s{};
        if (GetWindowRect(pg->status, &s))
            r.bottom -= s.bottom - s.top;
    }
    InvalidateRect(pg->hwnd, &r, erase);
}

int _setpage(int page, int erase)
{
    _page* pg = _pagerecord(page);
    if (!page_current() || !pg)
        return 0;
    if (pg != page_current()) {
        _page* old = page_current();
        if (old->kind != PAGE_MEMORY) {
            page_close_recording(old);
            if (old->kind == PAGE_WINDOW)
                page_invalidate(old, erase);
        }
        page_set_current(pg);
        if (pg->kind != PAGE_MEMORY) {
            page_open_recording(pg);
            if (pg->kind == PAGE_WINDOW) {
                page_invalidate(pg, erase);
            } else if (pg->kind == PAGE_FULLSCREEN) {
                SetWindowPos(pg->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                ShowWindow(pg->hwnd, SW_SHOW);
            }
        } else if (pg->dc) {
            // Drawing goes straight into the image: it needs the drawing state too.
            _select_drawing_objects(pg->dc);
        }
    } else if (pg->kind != PAGE_MEMORY) {
        page_close_recording(pg);
        page_open_recording(pg);
        page_invalidate(pg, erase);
    }
    return 1;
}

namespace {

// A canvas child is recreated under a class whose brush has the new colour.
void replace_canvas(_page* pg, COLORREF colour)
{
    RECT r{};
    GetWindowRect(pg->canvas, &r);
    DestroyWindow(pg->canvas);
    char cls[32];
    page_register_class(colour, cls, sizeof cls);
    pg->canvas = CreateWindowExA(WS_EX_CLIENTEDGE, cls, "", pg->canvas_style, 0, 0,
                                 r.right - r.left, r.bottom - r.top, pg->hwnd, nullptr,
                                 page_instance(), nullptr);
}

void apply_color(_page* pg, COLORREF colour)
{
    if (pg->kind == PAGE_WINDOW && pg->canvas && colour != pg->bkcolor)
        replace_canvas(pg, colour);
    pg->bkcolor = colour;
}

} // namespace

int _setpagecolor(unsigned int colour, int page)
{
    if (page < 0) {
        for (int i = 1; i < OSTREL_PAGES; ++i)
            if (_pagerecord(i))
                apply_color(_pagerecord(i), colour);
        page_set_default_color(colour);
        return 1;
    }
    if (page == 0)
        return 1;
    _page* pg = _pagerecord(page);
    if (!pg)
        return 0;
    apply_color(pg, colour);
    return 1;
}

int _setorigin(int page, double x0, double y0)
{
    _page* pg = _pagerecord(page);
    if (!pg || pg->kind == PAGE_MEMORY)
        return 0;
    if (pg->x0 == x0 && pg->y0 == y0)
        return 1;
    pg->x0 = x0;
    pg->y0 = y0;
    if (pg->hwnd) {
        InvalidateRect(pg->hwnd, nullptr, TRUE);
        // The canvas shows the content; it repaints on its own request.
        if (pg->canvas)
            InvalidateRect(pg->canvas, nullptr, TRUE);
        UpdateWindow(pg->hwnd);
        if (pg->canvas)
            UpdateWindow(pg->canvas);
        _pumpmessages();
    }
    return 1;
}

int _hidefullscreens()
{
    int n = 0;
    for (int i = 1; i < OSTREL_PAGES; ++i) {
        _page* pg = _pagerecord(i);
        if (pg && pg->kind == PAGE_FULLSCREEN) {
            ShowWindow(pg->hwnd, SW_HIDE);
            ++n;
        }
    }
    return n;
}
