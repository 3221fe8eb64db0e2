// Whole-page operations of the drawing area: clearing the page and the console
// text, putting another page or a bitmap object onto the current page, and
// saving an area of the current page into an off-screen page.
#include "runtime/pages/draw/draw_internal.h"
#include "runtime/pages/draw/draw_state.h"

#include "ostrel/bmap.h"
#include "ostrel/console.h"
#include "ostrel/pages.h"
#include "platform/win/winuser.h"
#include "runtime/pages/page_shell.h"

namespace {
// Reads an off-screen page's image in its own pixels, whatever mapping its
// context was left with (_savearea leaves one that names page coordinates).
class DevicePixels {
public:
    explicit DevicePixels(HDC dc) : dc_(dc)
    {
        mode_ = GetMapMode(dc);
        GetWindowOrgEx(dc, &wo_);
        GetViewportOrgEx(dc, &vo_);
        GetWindowExtEx(dc, &we_);
        GetViewportExtEx(dc, &ve_);
        SetMapMode(dc, MM_TEXT);
        SetWindowOrgEx(dc, 0, 0, nullptr);
        SetViewportOrgEx(dc, 0, 0, nullptr);
    }
    ~DevicePixels()
    {
        SetMapMode(dc_, mode_);
        SetWindowExtEx(dc_, we_.cx, we_.cy, nullptr);
        SetViewportExtEx(dc_, ve_.cx, ve_.cy, nullptr);
        SetWindowOrgEx(dc_, wo_.x, wo_.y, nullptr);
        SetViewportOrgEx(dc_, vo_.x, vo_.y, nullptr);
    }
    DevicePixels(const DevicePixels&) = delete;
    DevicePixels& operator=(const DevicePixels&) = delete;

private:
    HDC dc_;
    int mode_;
    POINT wo_{}, vo_{};
    SIZE we_{}, ve_{};
};

void clear_window_page(_page* pg, int flags)
{
    if (pg->content) DeleteMetaFile(pg->content);
    pg->content = nullptr;
    if (pg->dc) DeleteMetaFile(CloseMetaFile(pg->dc));
    pg->content = CloseMetaFile(CreateMetaFileA(nullptr));
    pg->dc = CreateMetaFileA(nullptr);
    if (pg->kind == 0 && !pg->canvas && pg->bkcolor != GetSysColor(COLOR_WINDOW)) {
        HBRUSH b = CreateSolidBrush(pg->bkcolor);
        RECT r{0, 0, twenty(GetSystemMetrics(SM_CXSCREEN)), twenty(GetSystemMetrics(SM_CYSCREEN))};
        FillRect(pg->dc, &r, b);
        if (!DeleteObject(b)) _fatalerror("_clearscreen", "failed to delete solid brush object.");
    }
    if (!(flags & 4)) {
        HWND w = pg->kind == 0 && pg->canvas ? pg->canvas : pg->hwnd;
        InvalidateRect(w, nullptr, TRUE);
        UpdateWindow(w);
    }
    _reset_drawing_state();
}
}  // namespace

void _clearscreen(int flags)
{
    if ((flags & 2) && page_current()) {
        _page* pg = page_current();
        switch (pg->kind) {
        case 0:
        case 1:
            clear_window_page(pg, flags);
            break;
        case 2: {
            // an off-screen page: its image back to its background colour, and no more
            HDC dc = pg->dc;
            if (!dc) return;
            DevicePixels dp(dc);
            HBRUSH b = CreateSolidBrush(pg->bkcolor);
            RECT r{0, 0, pg->width, pg->height};
            FillRect(dc, &r, b);
            if (!DeleteObject(b)) _fatalerror("_clearscreen", "failed to delete solid brush object.");
            return;
        }
        default:
            return;
        }
    }
    if (flags & 1) {
        HWND text = page_console_text();
        if (text) SendMessageA(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        if (HWND w = page_console_window()) UpdateWindow(w);
    }
}

void _putbmap(double x, double y, _bmap* bitmap, unsigned int rop, double scale)
{
    HDC dc = draw_dc();
    if (!dc || !bitmap || !bitmap->bits || bitmap->width <= 0 || bitmap->height <= 0) return;
    int w = bitmap->width, h = bitmap->height;
    int dx = twenty(x), dy = twenty(y), dw = twenty(w * scale), dh = twenty(h * scale);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(&bitmap->info);
    PageUnits u(dc);
    StretchDIBits(dc, dx, dy, dw, dh, 0, 0, w, h, bitmap->bits, info, DIB_RGB_COLORS, rop);
}

void _putpage(double x, double y, int page, unsigned int rop, double scale)
{
    HDC dc = draw_dc();
    _page* src = _pagerecord(page);
    if (!dc || !src) return;
    switch (src->kind) {
    case 0: {
        if (src == page_current() || !src->content) return;
        // shift the replay by (x, y) relative to whatever origin the consumer uses
        int ox = twenty(x), oy = twenty(y);
        PageUnits u(dc);
        OffsetWindowOrgEx(dc, -ox, -oy, nullptr);
        PlayMetaFile(dc, src->content);
        OffsetWindowOrgEx(dc, ox, oy, nullptr);
        return;
    }
    case 2: {
        if (!src->dc || src == page_current()) return;
        int w = src->width, h = src->height;
        DevicePixels dp(src->dc);
        PageUnits u(dc);
        StretchBlt(dc, twenty(x), twenty(y), twenty(w * scale), twenty(h * scale), src->dc, 0, 0, w, h, rop);
        return;
    }
    case 4:
        _putbmap(x, y, src->bmap, rop, scale);
        return;
    default:
        return;
    }
}

int _savearea(double x1, double y1, double x2, double y2, int page)
{
    _page* cur = page_current();
    if (!cur) return 0;
    int width = int(x2 - x1), height = int(y2 - y1);
    if (cur->number == page) return 0;   // the page cannot become a copy of itself
    if (!_newmempage(width, height, page)) return 0;
    _page* dst = _pagerecord(page);
    if (!dst || !dst->dc) return 0;
    HDC dc = dst->dc;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, twenty(width), twenty(height), nullptr);
    SetViewportExtEx(dc, width, height, nullptr);
    SetWindowOrgEx(dc, twenty(x1), twenty(y1), nullptr);
    if (cur->content) PlayMetaFile(dc, cur->content);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, width, height, nullptr);
    SetViewportExtEx(dc, width, height, nullptr);
    return SetWindowOrgEx(dc, int(x1), int(y1), nullptr);
}
