// Seam between the page table and the drawing area: what page creation, the
// page window procedure and console teardown need from the drawing state and
// from the recording consumers (repaint, copy, print).
#pragma once
#include "platform/win_types.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

struct _page;

// Applies the drawing defaults to the current page's recording (line width 0.2,
// solid style, colour 0, empty fill mask, "'tSystem'h15", text colour 0,
// background 0xFFFFFF). Called when a page is created and when a page is cleared.
void _reset_drawing_state();
// Selects the shared pen, brush and font into a freshly opened recording (the
// one _setpage opens after closing the previous one).
void _select_drawing_objects(HDC rec);
// Deletes the shared pen, brush and font (console teardown).
void _delete_drawing_objects();
// WM_PAINT of a window or full-screen page: replays the content onto `dc`
// (the window's paint context) with the page origin; `update` (client pixels,
// may be null for all) limits what is drawn. The size used is the client size
// of the canvas child for a canvas page, else of the page window.
void _paintpage(_page* pg, HDC dc, const RECT* update);
// The page's Copy command: puts the content on the clipboard as a metafile
// picture (and an image). Result of CloseClipboard, 0 on failure.
int _copypage(int page);
// The page's Print command: the print dialog, then the content at its on-screen
// size one inch from the corner. 0 if cancelled or failed, else 1.
int _printpage(int page);

// The HIMETRIC extents of a page picture of w x h client pixels on a screen of
// sx x sy dots per inch: w x 1000 / sx x 2.54, truncated (and likewise for y).
SIZE _picture_extents(int w, int h, int sx, int sy);
// Steps of the Print command after the dialog: replays the page's content on
// `printer` (a device context on a printer, or on anything standing in for
// one) at its on-screen size one inch from the corner, as one document.
// 1 on success, 0 without such a page or content.
int _printpage_to(int page, HDC printer);

OSTREL_INTERNAL_EXPORT_END
