// The page record and the functions over the page table: the page area's interface
// to the console above it (status bars, Window menu, drops, start-up and teardown).
// Not public.
#pragma once
#include "platform/win_types.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

class _bmap;

enum : int { OSTREL_PAGES = 4000 };   // slots 0..3999; slot 0 is never a page

// One page. The field order is part of the contract (others reach in by name).
struct _page {
    int number;             // its own slot
    int kind;               // 0 window, 1 full screen, 2 off-screen (memory), 4 bitmap
    HDC dc;                 // kinds 0, 1: the open recording; kind 2: the memory context
    COLORREF bkcolor;       // background colour (clearing, text background)
    HWND hwnd;              // kinds 0, 1: the top-level window
    DWORD canvas_style;     // kind 0: style of the canvas child
    HMETAFILE content;      // kinds 0, 1: the closed recording, replayed on repaint
    HWND status;            // kind 0: status bar, 0 until first used
    HWND progress;          // kind 0: progress bar inside the status bar
    HWND canvas;            // kind 0: canvas child showing the content, or 0
    double x0, y0;          // kinds 0, 1: page coordinates at the client's top-left
    int height, width;      // kind 2: image size in pixels
    HBITMAP bitmap;         // kind 2: the image, selected into dc
    HBITMAP oldbitmap;      // kind 2: what dc held before
    _bmap* bmap;            // kind 4: the bitmap object, owned by the page
};

// The page table is private to the page area; these functions are its whole surface.
// The record of a page number, or null (out of range or empty slot).
_page* _pagerecord(int page);
// The page drawing goes to, or null.
_page* page_current();
// Start-up of a fresh console: every slot empty (nothing released).
void page_table_clear();
// Console teardown: closes the current page's recording into its content, deletes
// the shared drawing objects and leaves no page current. 0 when no page was current.
int page_end_drawing();
// Background of new window and off-screen pages (the system window colour until
// _setpagecolor changes it for all pages).
COLORREF _defaultpagecolor();

OSTREL_INTERNAL_EXPORT_END
