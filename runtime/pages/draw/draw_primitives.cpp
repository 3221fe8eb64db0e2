// The drawing primitives on the current page: lines, arcs, ellipses, pies,
// rectangles, flood fill, pixels, the current position and text. Coordinates
// become twentieths of a page unit, truncated towards zero, before they reach
// the recording.
#include "runtime/pages/draw/draw_state.h"

#include "platform/win/winuser.h"

#include <cstring>

int _moveto(double x, double y)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    return MoveToEx(dc, twenty(x), twenty(y), nullptr);
}

int _lineto(double x, double y)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    return LineTo(dc, twenty(x), twenty(y));
}

int _arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    return Arc(dc, twenty(x1), twenty(y1), twenty(x2), twenty(y2), twenty(x3), twenty(y3), twenty(x4), twenty(y4));
}

int _ellipse(int mode, double x1, double y1, double x2, double y2)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    if (mode == 0) return Ellipse(dc, twenty(x1), twenty(y1), twenty(x2), twenty(y2));
    if (mode == 1) {
        // an arc that starts and ends at the same point closes the ellipse
        double ym = (y1 + y2) / 2;
        return Arc(dc, twenty(x1), twenty(y1), twenty(x2), twenty(y2), twenty(x2), twenty(ym), twenty(x2), twenty(ym));
    }
    return 0;
}

int _frameellipse(double x1, double y1, double x2, double y2) { return _ellipse(1, x1, y1, x2, y2); }

int _rectangle(int mode, double x1, double y1, double x2, double y2)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    if (mode == 0) return Rectangle(dc, twenty(x1), twenty(y1), twenty(x2), twenty(y2));
    if (mode == 1) {
        POINT p[5] = {{twenty(x1), twenty(y1)}, {twenty(x2), twenty(y1)}, {twenty(x2), twenty(y2)},
                      {twenty(x1), twenty(y2)}, {twenty(x1), twenty(y1)}};
        return Polyline(dc, p, 5);
    }
    return 0;
}

int _framerect(double x1, double y1, double x2, double y2) { return _rectangle(1, x1, y1, x2, y2); }

int _pie(int mode, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    if (mode == 0)
        return Pie(dc, twenty(x1), twenty(y1), twenty(x2), twenty(y2), twenty(x3), twenty(y3), twenty(x4), twenty(y4));
    if (mode == 1) {
        POINT p[3] = {{twenty(x3), twenty(y3)}, {twenty((x1 + x2) / 2), twenty((y1 + y2) / 2)}, {twenty(x4), twenty(y4)}};
        Polyline(dc, p, 3);
        return Arc(dc, twenty(x1), twenty(y1), twenty(x2), twenty(y2), twenty(x3), twenty(y3), twenty(x4), twenty(y4));
    }
    return 0;
}

int _framepie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    return _pie(1, x1, y1, x2, y2, x3, y3, x4, y4);
}

int _floodfill(double x, double y, unsigned int colour)
{
    HDC dc = draw_dc();
    if (!dc) return 0;
    PageUnits u(dc);
    return FloodFill(dc, twenty(x), twenty(y), colour & 0xFFFFFF);
}

unsigned int _setpixel(double x, double y)
{
    HDC dc = draw_dc();
    if (!dc) return 0xFFFFFFFFu;
    PageUnits u(dc);
    return SetPixel(dc, twenty(x), twenty(y), draw_state().color);
}

unsigned int _getpixel(double x, double y)
{
    if (!page_current()) return 0xFFFFFFFFu;
    int px = int(x), py = int(y);
    if (page_current()->kind == 2) return page_current()->dc ? GetPixel(page_current()->dc, px, py) : 0xFFFFFFFFu;
    // what the window shows now: its back buffer (the canvas when the page has one)
    HWND w = page_current()->canvas ? page_current()->canvas : page_current()->hwnd;
    if (!w) return 0xFFFFFFFFu;
    HDC dc = GetDC(w);
    if (!dc) return 0xFFFFFFFFu;
    COLORREF c = GetPixel(dc, px, py);
    ReleaseDC(w, dc);
    return c;
}

_dpoint _getcurrentposition()
{
    HDC dc = draw_dc();
    if (!dc) return _dpoint{0, 0};
    POINT p{};
    {
        PageUnits u(dc);
        GetCurrentPositionEx(dc, &p);
    }
    return _dpoint{double(p.x / 20), double(p.y / 20)};
}

void _textout(const char* text, int bkmode)
{
    HDC dc = draw_dc();
    if (!dc || !text) return;
    const DrawState& s = draw_state();
    double x = s.tx, y = s.ty;
    UINT align;
    if (s.halign == 1) {
        if (s.escapement == 0) {
            align = TA_CENTER;
        } else {
            align = TA_LEFT;
            y -= _gettextwidth(text);
        }
    } else if (s.halign == 2) {
        align = TA_RIGHT;
    } else {
        align = TA_LEFT;
    }
    align |= s.valign == 20 ? TA_BOTTOM : TA_TOP;
    SetBkMode(dc, bkmode);
    SetBkColor(dc, page_current()->bkcolor);
    SetTextAlign(dc, align);
    PageUnits u(dc);
    TextOutA(dc, twenty(x), twenty(y), text, int(std::strlen(text)));
}
