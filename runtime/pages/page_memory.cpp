// Off-screen pages (an image in a memory device context) and bitmap pages (a
// page that holds a _bmap).
#include "runtime/pages/page_internal.h"
#include "ostrel/bmap.h"

namespace {

// The size every off-screen page falls back to when its image cannot be had.
constexpr int fallback_size = 9;

// Sizes that could never be allocated are refused before the platform is asked.
bool sane_image_size(int width, int height)
{
    return width >= 1 && height >= 1 && _bmap_size_ok(width, height, 32);
}

} // namespace

void page_clear_memory(_page* pg)
{
    HDC dc = pg->dc;
    SetMapMode(dc, MM_TEXT);
    SetWindowExtEx(dc, pg->width, pg->height, nullptr);
    SetViewportExtEx(dc, pg->width, pg->height, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetStretchBltMode(dc, COLORONCOLOR);
    HBRUSH brush = CreateSolidBrush(pg->bkcolor);
    RECT r{0, 0, pg->width, pg->height};
    FillRect(dc, &r, brush);
    if (!DeleteObject(brush))
        _fatalerror("_clearscreen", "failed to delete solid brush object.");
}

int _newmempage(int width, int height, int page)
{
    if (page < 1 || page >= OSTREL_PAGES)
        return 0;
    _page* pg = _pagerecord(page);
    if (pg && (pg->kind == PAGE_WINDOW || pg->kind == PAGE_FULLSCREEN))
        return 0;
    if (pg && pg->kind == PAGE_MEMORY && pg->width == width && pg->height == height && pg->dc) {
        page_clear_memory(pg);
        return 1;
    }
    if (pg) {
        // The record stays (and stays current if it was): only its image changes.
        page_release(pg, false);
    } else {
        pg = new _page{};
        page_set_slot(page, pg);
    }
    pg->number = page;
    pg->kind = PAGE_MEMORY;
    pg->bkcolor = _defaultpagecolor();

    HWND console = page_console_window();
    HDC screen = GetDC(console);
    pg->dc = CreateCompatibleDC(screen);
    HBITMAP bm = sane_image_size(width, height) ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    int result = 1;
    if (!bm) {
        bm = CreateCompatibleBitmap(screen, fallback_size, fallback_size);
        width = height = fallback_size;
        result = 0;
    }
    if (screen)
        ReleaseDC(console, screen);
    pg->width = width;
    pg->height = height;
    pg->bitmap = bm;
    pg->oldbitmap = pg->dc && bm ? SelectObject(pg->dc, bm) : nullptr;
    if (pg->dc) {
        page_clear_memory(pg);
        if (pg == page_current())
            _select_drawing_objects(pg->dc);
    }
    return result;
}

int _newbmappage(_bmap* bitmap, int page)
{
    if (page < 1 || page >= OSTREL_PAGES || !bitmap)
        return 0;
    _page* pg = _pagerecord(page);
    if (pg) {
        if (pg->kind != PAGE_WINDOW && pg->kind != PAGE_FULLSCREEN && pg->kind != PAGE_MEMORY
            && pg->kind != PAGE_BMAP)
            return 0;
        page_release(pg, false);
    } else {
        pg = new _page{};
        page_set_slot(page, pg);
    }
    _page keep = *pg;
    *pg = _page{};
    pg->number = page;
    pg->kind = PAGE_BMAP;
    pg->bkcolor = keep.bkcolor;

    _bmap* own;
    if (bitmap->shared) {
        // Rows that the caller does not own cannot be handed over: the page
        // takes its own copy instead of a second claim on them.
        own = new _bmap(*bitmap);
        own->shared = 0;
    } else {
        own = new _bmap();
        own->width = bitmap->width;
        own->height = bitmap->height;
        own->stride = bitmap->stride;
        own->bits = bitmap->bits;
        own->size = bitmap->size;
        own->depth = bitmap->depth;
        own->info = bitmap->info;
        own->shared = 0;
        bitmap->shared = 1;
    }
    pg->bmap = own;
    // A current page keeps a recording to draw into, as _setpage gives a bitmap page.
    if (pg == page_current())
        page_open_recording(pg);
    return 1;
}

int _bmappage(int page)
{
    _page* pg = _pagerecord(page);
    if (pg && pg->kind == PAGE_BMAP)
        return 1;
    _bmap* bm = _page_to_bmap(page);
    if (!bm)
        return 0;
    int r = _newbmappage(bm, page);
    delete bm;   // the page took the rows over (or the call failed and they go now)
    return r;
}
