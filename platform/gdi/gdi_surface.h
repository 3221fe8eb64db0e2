// Seam between the window layer and GDI: a device context drawing on a window's
// back buffer (or any QImage the caller owns). Implemented in platform/gdi.
#pragma once
#include "platform/win_types.h"

#include <vector>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

class QImage;
class QPaintDevice;

// A DC on `target`; `owner` is the window (or null). The image must outlive the DC.
HDC gdi_create_image_dc(QImage* target, HWND owner);
// Frees a DC made by gdi_create_image_dc (the image stays).
void gdi_destroy_image_dc(HDC dc);
// A DC on a printer or other paint device (logical pixels = device pixels).
HDC gdi_create_device_dc(QPaintDevice* device, HWND owner);
// A window paints only what can be seen; the rest of its back buffer may wait.
// Reads of a window DC's pixels (GetPixel, a blit's source, a flood fill) first
// ask the window layer to paint what waits under the rectangle (null: all).
using GdiWindowSettle = void (*)(HWND owner, const RECT* r);
void gdi_set_window_settle(GdiWindowSettle settle);
// Called by the reads above for DCs owned by a window; no-op for other DCs.
void gdi_settle_pixels(HDC dc, const RECT* r);
// A window's back buffer is given its pixels only where something first reaches
// them, so a window larger than the screen costs memory for what is drawn, seen or
// read. Before GDI touches a window DC's pixels it names the device rectangle it
// may reach (null: all of them).
using GdiWindowReach = void (*)(HWND owner, const RECT* r);
void gdi_set_window_reach(GdiWindowReach reach);

// Bounds of a metafile's picture in its own units: the placeable header's box,
// else the window origin and extent it sets, else the extent of what it draws.
// FALSE when there is none.
BOOL gdi_metafile_bounds(HMETAFILE mf, RECT* r);
// The picture of a metafile on a new w x h image (white background), its bounds
// filling the image. A null image on failure.
QImage gdi_metafile_image(HMETAFILE mf, int w, int h);
// The placeable Windows metafile bytes (22-byte header with bounds and units per
// inch) of a recording; empty when it cannot be written exactly.
std::vector<unsigned char> gdi_placeable_wmf(HMETAFILE mf, int unitsPerInch, const RECT& bounds);
// Makes a DC of gdi_create_device_dc own its device: DeleteDC deletes it.
void gdi_own_device(HDC dc);
// Draws a picture scaled to cx x cy at (x, y) in logical units, blended by its
// alpha with smooth scaling, on a DC with pixels (icons); FALSE for other DCs.
BOOL gdi_draw_picture(HDC dc, int x, int y, int cx, int cy, const QImage& picture);

OSTREL_INTERNAL_EXPORT_END
