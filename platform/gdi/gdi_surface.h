// Seam between the window layer and GDI: a device context drawing on a window's
// back buffer (or any QImage the caller owns). Implemented in platform/gdi.
#pragma once
#include "platform/win_types.h"

class QImage;
class QPaintDevice;

// A DC on `target`; `owner` is the window (or null). The image must outlive the DC.
HDC gdi_create_image_dc(QImage* target, HWND owner);
// Frees a DC made by gdi_create_image_dc (the image stays).
void gdi_destroy_image_dc(HDC dc);
// A DC on a printer or other paint device (logical pixels = device pixels).
HDC gdi_create_device_dc(QPaintDevice* device, HWND owner);
// The QImage behind a raster DC, or null for recording/printer DCs.
QImage* gdi_dc_image(HDC dc);
