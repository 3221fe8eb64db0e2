// Pixel access for the raster drawing code: a clipped view of a DC's image with
// the binary raster operations (ROP2) and the brush pattern resolved to colours.
#pragma once
#include "platform/gdi/gdi_internal.h"

#include <QPainter>

#include <functional>

struct PixelView {
    QImage* img = nullptr;
    QRect box;                       // image rect intersected with the clip's bounding box
    const QRegion* region = nullptr; // set when the clip is not one rectangle
    bool direct = false;             // 32-bit pixels we can write as 0xFFRRGGBB
    int rop2 = R2_COPYPEN;
    uchar* bits = nullptr;           // direct: the pixels (detached once), bytes per line
    qsizetype bpl = 0;

    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits + y * bpl); }

    bool inside(int x, int y) const
    {
        return box.contains(x, y) && (!region || region->contains(QPoint(x, y)));
    }
    QRgb get(int x, int y) const
    {
        return direct ? row(y)[x] | 0xFF000000u : img->pixel(x, y);
    }
    void set(int x, int y, QRgb c) const
    {
        if (rop2 != R2_COPYPEN) c = apply_rop2(c, get(x, y));
        if (direct) row(y)[x] = c | 0xFF000000u;
        else img->setPixel(x, y, c | 0xFF000000u);
    }
    void plot(int x, int y, QRgb c) const
    {
        if (inside(x, y)) set(x, y, c);
    }
    QRgb apply_rop2(QRgb pen, QRgb dst) const
    {
        unsigned code = unsigned(rop2 - 1) & 15, r = 0, P = pen, D = dst;
        if (code & 1) r |= ~P & ~D;
        if (code & 2) r |= ~P & D;
        if (code & 4) r |= P & ~D;
        if (code & 8) r |= P & D;
        return r | 0xFF000000u;
    }
};

// A view of the DC's pixels, or false when the DC has none (printer, recording).
// `reach`: the device pixels the caller will touch, when fewer than the clip box.
bool gdi_pixel_view(HDC dc, PixelView& v, const QRect* reach = nullptr);
// A painter on the DC's target with its clip and raster operation; null when the
// DC has no paint target. `end` is called by the caller through the guard.
struct PainterGuard {
    QPainter* p = nullptr;
    bool owned = false;
    ~PainterGuard();
};
bool gdi_painter(HDC dc, PainterGuard& g);
// Device-space pen of the DC's state: null, cosmetic (one pixel) or wide.
struct PenSpec {
    bool null = true;
    bool cosmetic = true;
    int width = 1;
    QRgb color = 0xFF000000;
    int style = PS_SOLID;
};
PenSpec gdi_pen_spec(HDC dc, const Mapping& m);
QPen gdi_qpen(const PenSpec& ps, HDC dc);
QBrush gdi_qbrush(HDC dc);
// Fills device rectangle r (exclusive right/bottom) with the DC's brush pattern.
void gdi_fill_rect_pixels(const PixelView& v, const QImage& pattern, QRect r);
