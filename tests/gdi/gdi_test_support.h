// Helpers of the GDI tests: a white RGB32 canvas with an image DC, pixel reads
// as COLORREF, and a dump of metafile bytes for failing golden comparisons.
#pragma once
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "tests/support/pixels.h"

#include <cstdio>
#include <string>
#include <vector>

struct Canvas {
    QImage img;
    HDC dc;
    Canvas(int w, int h, COLORREF fill = 0xFFFFFF) : img(w, h, QImage::Format_RGB32)
    {
        img.fill(QColor(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
        dc = gdi_create_image_dc(&img, nullptr);
    }
    ~Canvas() { gdi_destroy_image_dc(dc); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    COLORREF at(int x, int y) const { return pixel(img, x, y); }
    int count(COLORREF c) const { return ::count(img, c); }   // pixels of that colour
};

// The WMF bytes of a metafile (empty on failure) and a readable dump of them.
inline std::vector<unsigned char> wmf_bytes(HMETAFILE mf)
{
    UINT n = GetMetaFileBitsEx(mf, 0, nullptr);
    std::vector<unsigned char> b(n);
    if (n) GetMetaFileBitsEx(mf, n, b.data());
    return b;
}
inline std::string dump_words(const std::vector<unsigned char>& b)
{
    std::string s;
    char buf[8];
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        std::snprintf(buf, sizeof buf, "%04x ", b[i] | (b[i + 1] << 8));
        s += buf;
    }
    return s;
}
// Replays a metafile onto a canvas at one pixel per unit.
inline void replay(HMETAFILE mf, Canvas& c) { PlayMetaFile(c.dc, mf); }
// A brush of the 8 x 8 one-bit pattern `rows` (one byte a row).
inline HBRUSH mask_brush(const unsigned char rows[8])
{
    unsigned char words[16] = {};
    for (int i = 0; i < 8; ++i)
        words[2 * i] = rows[i];
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, words);
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);
    return br;
}
