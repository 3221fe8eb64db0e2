// Helpers of the GDI tests: a white RGB32 canvas with an image DC, pixel reads
// as COLORREF, and a dump of metafile bytes for failing golden comparisons.
#pragma once
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "tests/support/pixels.h"

#include <string>
#include <vector>

struct Canvas {
    QImage img;
    HDC dc;
    Canvas(int w, int h, COLORREF fill = 0xFFFFFF);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    COLORREF at(int x, int y) const { return pixel(img, x, y); }
    int count(COLORREF c) const { return ::count(img, c); }   // pixels of that colour
};

// The WMF bytes of a metafile (empty on failure) and a readable dump of them.
std::vector<unsigned char> wmf_bytes(HMETAFILE mf);
std::string dump_words(const std::vector<unsigned char>& b);
// Replays a metafile onto a canvas at one pixel per unit.
void replay(HMETAFILE mf, Canvas& c);
// A brush of the 8 x 8 one-bit pattern `rows` (one byte a row).
HBRUSH mask_brush(const unsigned char rows[8]);
