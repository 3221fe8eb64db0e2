// The page record and the page table, shared by the runtime areas that work on
// pages (drawing, recording, console status bars, images). Not public.
#pragma once
#include "platform/win_types.h"

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

extern _page* _pagetable[OSTREL_PAGES];
extern _page* _curpage;

// The record of a page number, or null (out of range or empty slot).
_page* _pagerecord(int page);
// Background of new window and off-screen pages (the system window colour until
// _setpagecolor changes it for all pages).
COLORREF _defaultpagecolor();
