// Helpers shared by the files of the page area (drawing included), and the seams
// it calls into: the console registered above it (hooks, menus, drops:
// page_shell.h) and drawing (drawing objects, repaint, copy, print). Private to
// the page area.
#pragma once
#include "platform/win/winuser.h"
#include "platform/gdi/wingdi.h"
#include "ostrel/pages.h"
#include "runtime/pages/page_record.h"
#include "ostrel/console.h"
#include "runtime/pages/page_shell.h"
#include "ostrel/draw.h"
#include "runtime/pages/draw/draw_internal.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// Changes of the page table (its storage is private to page_table.cpp).
void page_set_current(_page* pg);
void page_set_slot(int page, _page* pg);

// Double to int as the platform takes it: truncated towards zero, clamped to the
// int range (NaN gives 0), so that wild sizes cannot overflow.
int page_trunc(double v);

// A record in the slot of `page` (1..3999), deleting an old page there first.
// Null for numbers out of range; page 0 is fatal.
_page* page_allocate_slot(int page);
// Releases what a record holds by its kind (window, content, memory context,
// bitmap object); the record itself stays. Closes the recording of the current
// page first and leaves no page current when `uncurrent` is set.
void page_release(_page* pg, bool uncurrent);
// Closes the current page's recording into its content (nothing for off-screen pages).
void page_close_recording(_page* pg);
// Opens a recording for `pg`, replays its content into it and selects the
// drawing objects.
void page_open_recording(_page* pg);
// Marks a window page (its canvas, or its client area above the status bar) for repaint.
void page_invalidate(_page* pg, int erase);
// Makes a freshly created window or full-screen page current (step shared by both makers).
void page_make_current_new(_page* pg);
// Registers one more "OST%d" class with a brush of `colour`; writes its name.
void page_register_class(COLORREF colour, char* name, int size);
// The size rule: 1 when the client size was not yet right (a second pass is due).
int page_size_rule(HWND w, double width, double height);
// The page whose window or canvas child is `w`, or null.
_page* page_of_window(HWND w);
// Clears an off-screen page with its background colour.
void page_clear_memory(_page* pg);
// The window procedure of every page window, canvas child and full-screen page.
LRESULT page_window_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
// Changes the background of new pages (the default page colour).
void page_set_default_color(COLORREF colour);

OSTREL_INTERNAL_EXPORT_END
