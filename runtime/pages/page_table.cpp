// The page table: slots, the current page, allocation and release of page
// records, and the queries over the table.
#include "runtime/pages/page_internal.h"
#include "ostrel/bmap.h"
#include "runtime/image/image_deps.h"

#include <cmath>
#include <climits>

namespace {
// The table itself is known to this file alone; every other file, of this area or
// above it, goes through the functions below.
_page* table[OSTREL_PAGES];
_page* current;

// The system window colour is only known once the platform is up, so the
// default is read on first use rather than at static start-up.
bool default_color_set = false;
COLORREF default_color = 0xFFFFFF;
}

_page* _pagerecord(int page)
{
    return page >= 1 && page < OSTREL_PAGES ? table[page] : nullptr;
}

_page* page_current()
{
    return current;
}

void page_set_current(_page* pg)
{
    current = pg;
}

void page_set_slot(int page, _page* pg)
{
    if (page >= 1 && page < OSTREL_PAGES)
        table[page] = pg;
}

void page_table_clear()
{
    for (auto& slot : table)
        slot = nullptr;
}

int page_end_drawing()
{
    _page* pg = current;
    if (!pg)
        return 0;
    if (pg->kind == PAGE_WINDOW || pg->kind == PAGE_FULLSCREEN) {
        if (pg->content)
            DeleteMetaFile(pg->content);
        pg->content = pg->dc ? CloseMetaFile(pg->dc) : nullptr;
        pg->dc = nullptr;
    }
    _delete_drawing_objects();
    current = nullptr;
    return 1;
}

COLORREF _defaultpagecolor()
{
    if (!default_color_set) {
        default_color = GetSysColor(COLOR_WINDOW);
        default_color_set = true;
    }
    return default_color;
}

// The image area below draws icons on the background of new pages.
[[maybe_unused]] const bool background_registered = [] {
    image_register_page_background([]() -> std::uint32_t { return _defaultpagecolor(); });
    return true;
}();

void page_set_default_color(COLORREF colour)
{
    default_color = colour;
    default_color_set = true;
}

int page_trunc(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(INT_MAX))
        return INT_MAX;
    if (v <= double(INT_MIN))
        return INT_MIN;
    return int(v);
}

void page_close_recording(_page* pg)
{
    if (!pg->dc || pg->kind == PAGE_MEMORY)
        return;
    if (pg->content)
        DeleteMetaFile(pg->content);
    pg->content = CloseMetaFile(pg->dc);
    pg->dc = nullptr;
}

void page_open_recording(_page* pg)
{
    pg->dc = CreateMetaFileA(nullptr);
    if (!pg->dc)
        return;
    if (pg->content)
        PlayMetaFile(pg->dc, pg->content);
    // The replayed content may leave its own objects selected; the program's
    // drawing state goes in last so that what follows draws with it.
    _select_drawing_objects(pg->dc);
}

void page_release(_page* pg, bool uncurrent)
{
    if (pg == page_current()) {
        page_close_recording(pg);
        if (uncurrent)
            page_set_current(nullptr);
    }
    switch (pg->kind) {
    case PAGE_WINDOW:
    case PAGE_FULLSCREEN:
        if (pg->hwnd && IsWindow(pg->hwnd)) {
            // A child of the console goes with the console; anything else is ours.
            bool console_child = (DWORD(GetWindowLongA(pg->hwnd, GWL_STYLE)) & WS_CHILD)
                                 && GetParent(pg->hwnd) == page_console_window();
            if (!console_child)
                DestroyWindow(pg->hwnd);
        }
        pg->hwnd = pg->canvas = pg->status = pg->progress = nullptr;
        break;
    case PAGE_MEMORY:
        if (pg->dc) {
            SelectObject(pg->dc, pg->oldbitmap);
            DeleteDC(pg->dc);
        }
        if (pg->bitmap)
            DeleteObject(pg->bitmap);
        pg->dc = nullptr;
        pg->bitmap = pg->oldbitmap = nullptr;
        pg->width = pg->height = 0;
        break;
    case PAGE_BMAP:
        if (pg->bmap) {
            pg->bmap->shared = 0;
            delete pg->bmap;
            pg->bmap = nullptr;
        }
        break;
    default:
        break;
    }
    // A bitmap page that was selected has a closed recording of its own.
    if (pg->content) {
        DeleteMetaFile(pg->content);
        pg->content = nullptr;
    }
}

_page* page_allocate_slot(int page)
{
    if (page < 0 || page >= OSTREL_PAGES)
        return nullptr;
    if (page == 0) {
        _fatalerror("_newpage", "page=0. 0 means console.");
        return nullptr;
    }
    if (_pagerecord(page))
        _delpage(page);
    _page* pg = new _page{};
    pg->number = page;
    page_set_slot(page, pg);
    return pg;
}

int _delpage(int page)
{
    _page* pg = _pagerecord(page);
    if (!pg)
        return 0;
    page_release(pg, true);
    page_set_slot(page, nullptr);
    delete pg;
    return 1;
}

int _getpage()
{
    return page_current() ? page_current()->number : -1;
}

int _ispage(int page)
{
    return page >= 0 && page < OSTREL_PAGES && _pagerecord(page) ? 1 : 0;
}

int _countpages(int kind)
{
    int n = 0;
    for (int i = 0; i < OSTREL_PAGES; ++i)
        if (_pagerecord(i) && _pagerecord(i)->kind == kind)
            ++n;
    return n;
}

_pageinfo _getpageinfo(int page)
{
    _pageinfo info{};
    _page* pg = _pagerecord(page);
    if (!pg)
        return info;
    info.kind = pg->kind;
    switch (pg->kind) {
    case PAGE_WINDOW: {
        RECT r{};
        if (pg->hwnd && GetClientRect(pg->hwnd, &r)) {
            info.width = r.right - r.left;
            info.height = r.bottom - r.top;
        }
        break;
    }
    case PAGE_MEMORY:
        info.width = pg->width;
        info.height = pg->height;
        info.dc = pg->dc;
        info.bitmap = pg->bitmap;
        info.pbitmap = &pg->bitmap;
        break;
    case PAGE_BMAP:
        if (pg->bmap) {
            info.width = pg->bmap->width;
            info.height = pg->bmap->height;
        }
        info.bmap = pg->bmap;
        break;
    default:
        break;
    }
    return info;
}
