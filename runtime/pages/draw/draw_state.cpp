// The shared drawing state: pen, brush and font with their set-calls, the
// text settings, init_CurWnd, and the seams page creation and console teardown
// call (defaults, selection into a new recording, deletion).
#include "runtime/pages/draw/draw_state.h"
#include "platform/utf8_cut.h"
#include "runtime/pages/draw/draw_internal.h"

#include "ostrel/console.h"
#include "runtime/pages/page_shell.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

DrawState& draw_state()
{
    static DrawState s;
    return s;
}

int twenty(double v)
{
    double t = v * 20.0;
    if (std::isnan(t)) return 0;
    if (t >= double(INT_MAX)) return INT_MAX;
    if (t <= double(INT_MIN)) return INT_MIN;
    return int(t);
}

HDC draw_dc() { return page_current() ? page_current()->dc : nullptr; }

PageUnits::PageUnits(HDC dc)
{
    if (!dc || !page_current() || page_current()->kind != 2 || dc != page_current()->dc) return;
    dc_ = dc;
    mode_ = GetMapMode(dc);
    GetWindowOrgEx(dc, &org_);
    GetWindowExtEx(dc, &wext_);
    GetViewportExtEx(dc, &vext_);
    bool scaled = mode_ == MM_ANISOTROPIC || mode_ == MM_ISOTROPIC;
    SIZE we = scaled ? wext_ : SIZE{1, 1}, ve = scaled ? vext_ : SIZE{1, 1};
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, we.cx * 20, we.cy * 20, nullptr);
    SetViewportExtEx(dc, ve.cx, ve.cy, nullptr);
    SetWindowOrgEx(dc, org_.x * 20, org_.y * 20, nullptr);
}

PageUnits::~PageUnits()
{
    if (!dc_) return;
    SetMapMode(dc_, mode_);
    if (mode_ == MM_ANISOTROPIC || mode_ == MM_ISOTROPIC) {
        SetWindowExtEx(dc_, wext_.cx, wext_.cy, nullptr);
        SetViewportExtEx(dc_, vext_.cx, vext_.cy, nullptr);
    }
    SetWindowOrgEx(dc_, org_.x, org_.y, nullptr);
}

void draw_replace(HGDIOBJ& slot, HGDIOBJ fresh, const char* where, const char* message)
{
    if (HDC dc = draw_dc()) SelectObject(dc, fresh);
    HGDIOBJ old = slot;
    slot = fresh;
    if (old && !DeleteObject(old)) _fatalerror(where, message);
}

namespace {
HPEN make_pen()
{
    const DrawState& s = draw_state();
    return CreatePen(s.style, twenty(s.width), s.color);
}
}  // namespace

unsigned int _setcolor(unsigned int colour)
{
    if (!draw_dc()) return 0xFFFFFFFFu;
    DrawState& s = draw_state();
    COLORREF prev = s.color;
    s.color = colour & 0xFFFFFF;
    draw_replace(s.pen, make_pen(), "_setcolor", "failed to delete pen object.");
    return prev;
}

unsigned int _getcolor() { return draw_state().color; }

void _setlinestyle(int style)
{
    if (!draw_dc()) return;
    DrawState& s = draw_state();
    s.style = style;
    draw_replace(s.pen, make_pen(), "_setlinestyle", "failed to delete pen object.");
}

int _getlinestyle() { return draw_state().style; }

int _setlinewidth(double width)
{
    if (!draw_dc()) return 0;
    DrawState& s = draw_state();
    s.width = width;
    draw_replace(s.pen, make_pen(), "_setlinewidth", "failed to delete pen object.");
    return 1;
}

void _setfillmask(const unsigned char* mask)
{
    if (!draw_dc() || !mask) return;
    DrawState& s = draw_state();
    for (int i = 0; i < 8; ++i) {
        s.mask[2 * i] = mask[i];
        s.mask[2 * i + 1] = 0;
    }
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, s.mask);
    HBRUSH brush = CreatePatternBrush(bm);
    UnrealizeObject(brush);
    if (!DeleteObject(bm)) _fatalerror("_setfillmask", "failed to delete bitmap object");
    draw_replace(s.brush, brush, "_setfillmask", "failed to delete brush object.");
}

unsigned char* _getfillmask(unsigned char* buffer)
{
    if (!buffer) return buffer;
    for (int i = 0; i < 8; ++i) buffer[i] = draw_state().mask[2 * i];
    return buffer;
}

unsigned int _settextcolor(unsigned int colour)
{
    HDC dc = draw_dc();
    if (!dc) return 0xFFFFFFFFu;
    return SetTextColor(dc, colour & 0xFFFFFF);
}

unsigned int _gettextcolor()
{
    HDC dc = draw_dc();
    return dc ? GetTextColor(dc) : 0xFFFFFFFFu;
}

unsigned int _setbkcolor(unsigned int colour)
{
    HDC dc = draw_dc();
    if (!dc) return 0xFFFFFFFFu;
    return SetBkColor(dc, colour & 0xFFFFFF);
}

unsigned int _getbkcolor()
{
    HDC dc = draw_dc();
    return dc ? GetBkColor(dc) : 0xFFFFFFFFu;
}

int _setfont(const char* options)
{
    HDC dc = draw_dc();
    if (!dc || !options) return 0;
    DrawState& s = draw_state();
    // 't' and 'h' are single bytes: a byte search never lands inside a UTF-8 sequence.
    // The face option is quoted as 'tFace': the quote stands before the t.
    const char* t = std::strchr(options, 't');
    if (!t || t == options || t[-1] != '\'') return 0;
    const char* face = t + 1;
    const char* end = std::strchr(face, '\'');
    if (!end) return 0;
    std::size_t n = utf8_cut(face, std::size_t(end - face), sizeof s.face - 1);
    std::memcpy(s.face, face, n);
    s.face[n] = 0;
    const char* h = std::strchr(options, 'h');
    if (!h) return 0;
    double height = std::atof(h + 1);
    if (height == 0) return 0;
    HFONT f = CreateFontA(twenty(height), 0, s.escapement * 10, s.orientation * 10, s.weight, s.italic, s.underline,
                          s.strikeout, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH, s.face);
    if (!f) return 0;
    draw_replace(s.font, f, "_setfont", "failed to delete font object.");
    return 1;
}

void _setfontstyle(int bold, unsigned char italic, unsigned char underline, unsigned char strikeout)
{
    DrawState& s = draw_state();
    s.weight = bold ? FW_BOLD : FW_NORMAL;
    s.italic = italic;
    s.underline = underline;
    s.strikeout = strikeout;
}

void _settextangle(int escapement, int orientation)
{
    draw_state().escapement = escapement;
    draw_state().orientation = orientation;
}

void _settextalign(int horizontal, int vertical)
{
    draw_state().halign = horizontal;
    draw_state().valign = vertical;
}

_dpoint _settextpos(double x, double y)
{
    DrawState& s = draw_state();
    _dpoint prev{s.tx, s.ty};
    s.tx = x;
    s.ty = y;
    return prev;
}

_dpoint _gettextpos() { return _dpoint{draw_state().tx, draw_state().ty}; }

namespace {
// Measures in the current font on the console window's context (the font is 20
// times the page size, so pixels / 20 are page units).
SIZE measure(const char* text)
{
    SIZE sz{0, 0};
    if (!text) return sz;
    HWND w = page_console_window();
    HDC dc = GetDC(w);
    if (!dc) return sz;
    HGDIOBJ old = draw_state().font ? SelectObject(dc, draw_state().font) : nullptr;
    GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &sz);
    if (old) SelectObject(dc, old);
    ReleaseDC(w, dc);
    return sz;
}
}  // namespace

double _gettextwidth(const char* text) { return measure(text).cx / 20.0; }
double _gettextheight(const char* text) { return measure(text).cy / 20.0; }

void init_CurWnd()
{
    DrawState& s = draw_state();
    if (!s.pen) s.pen = CreatePen(s.style, twenty(s.width), s.color);
    if (!s.brush) {
        HBITMAP bm = CreateBitmap(8, 8, 1, 1, s.mask);
        s.brush = CreatePatternBrush(bm);
        DeleteObject(bm);
    }
    if (!s.font)
        s.font = CreateFontA(300, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "System");
}

void _reset_drawing_state()
{
    DrawState& s = draw_state();
    s.width = 0.2;
    s.style = PS_SOLID;
    _setcolor(0);
    const unsigned char zero[8] = {};
    _setfillmask(zero);
    _setfont("'tSystem'h15");
    _settextcolor(0);
    _setbkcolor(0xFFFFFF);
}

void _select_drawing_objects(HDC rec)
{
    if (!rec) return;
    DrawState& s = draw_state();
    if (s.pen) SelectObject(rec, s.pen);
    if (s.brush) SelectObject(rec, s.brush);
    if (s.font) SelectObject(rec, s.font);
}

void _delete_drawing_objects()
{
    DrawState& s = draw_state();
    for (HGDIOBJ* o : {&s.pen, &s.brush, &s.font}) {
        if (*o) DeleteObject(*o);
        *o = nullptr;
    }
}
