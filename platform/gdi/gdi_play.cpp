// Replay of one recorded call onto a device context: the call is made again
// through the GDI functions, so the target's mapping, clipping and kind
// (raster, printer, another recording) apply. Objects the content creates live
// in the replay's own table. Parameters are checked, never trusted.
#include "platform/gdi/gdi_internal.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace {
constexpr std::size_t kMaxTable = 65535;
constexpr int kNotMine = -1;   // a family's answer for a record of another family

// A record's parameters by index; 0 past the end (records are checked, never trusted).
struct Args {
    const RecordParams& p;
    std::int32_t operator()(std::size_t i) const { return i < p.size() ? p[i] : 0; }
};

int put_object(std::vector<GdiObject*>& table, GdiObject* o)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i]) {
            table[i] = o;
            return int(i);
        }
    if (table.size() >= kMaxTable) {
        if (o) DeleteObject(o);
        return -1;
    }
    table.push_back(o);
    return int(table.size() - 1);
}

GdiObject* dummy_object()
{
    return CreateRectRgn(0, 0, 0, 0);
}

HBRUSH pattern_brush(const MetaRecord& r)
{
    if (!r.blob) return nullptr;
    const QImage& img = r.blob->picture();
    if (img.isNull() || img.width() > 4096 || img.height() > 4096) return nullptr;
    GdiObject* o = gdi_new_object(GdiObject::Brush);
    o->brushStyle = BS_PATTERN;
    o->pattern = img;
    // our own mono patterns paint in the DC's text and background colours
    o->patternMono = r.p.size() > 1 && r.p[1] == 1 && r.blob->mono;
    return o;
}

// Colours, modes and the saved states.
int play_state(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const Args at{r.p};
    switch (r.fn) {
    case META_SETBKCOLOR: return SetBkColor(dc, COLORREF(at(0))) != CLR_INVALID;
    case META_SETTEXTCOLOR: return SetTextColor(dc, COLORREF(at(0))) != CLR_INVALID;
    case META_SETBKMODE: return SetBkMode(dc, at(0));
    case META_SETMAPMODE: return SetMapMode(dc, at(0));
    case META_SETROP2: return SetROP2(dc, at(0));
    case META_SETPOLYFILLMODE: return SetPolyFillMode(dc, at(0));
    case META_SETSTRETCHBLTMODE: return SetStretchBltMode(dc, at(0));
    case META_SETTEXTALIGN: return SetTextAlign(dc, UINT(at(0))) != 0xFFFFFFFF;
    case META_SAVEDC: return SaveDC(dc) != 0;
    case META_RESTOREDC: return RestoreDC(dc, at(0));
    default:
        return kNotMine;
    }
}

// Window and viewport origins and extents.
int play_mapping(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const Args at{r.p};
    switch (r.fn) {
    case META_SETWINDOWORG: return SetWindowOrgEx(dc, at(0), at(1), nullptr);
    case META_SETWINDOWEXT: return SetWindowExtEx(dc, at(0), at(1), nullptr);
    case META_SETVIEWPORTORG: return SetViewportOrgEx(dc, at(0), at(1), nullptr);
    case META_SETVIEWPORTEXT: return SetViewportExtEx(dc, at(0), at(1), nullptr);
    case META_OFFSETWINDOWORG: return OffsetWindowOrgEx(dc, at(0), at(1), nullptr);
    case META_OFFSETVIEWPORTORG: return OffsetViewportOrgEx(dc, at(0), at(1), nullptr);
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT: {
        // scale = num / den per axis
        if (at(1) == 0 || at(3) == 0) return FALSE;
        SIZE s{};
        if (r.fn == META_SCALEWINDOWEXT) GetWindowExtEx(dc, &s); else GetViewportExtEx(dc, &s);
        long long x = (long long)s.cx * at(0) / at(1), y = (long long)s.cy * at(2) / at(3);
        if (x == 0 || y == 0 || x > INT32_MAX || x < INT32_MIN || y > INT32_MAX || y < INT32_MIN) return FALSE;
        return r.fn == META_SCALEWINDOWEXT ? SetWindowExtEx(dc, int(x), int(y), nullptr) : SetViewportExtEx(dc, int(x), int(y), nullptr);
    }
    default:
        return kNotMine;
    }
}

// The clipping region.
int play_clip(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const Args at{r.p};
    switch (r.fn) {
    case META_EXCLUDECLIPRECT: return ExcludeClipRect(dc, at(0), at(1), at(2), at(3)) != RGN_ERROR;
    case META_INTERSECTCLIPRECT: return IntersectClipRect(dc, at(0), at(1), at(2), at(3)) != RGN_ERROR;
    case META_SELECTCLIPREGION: return SelectClipRgn(dc, nullptr) != RGN_ERROR;
    default:
        return kNotMine;
    }
}

// Lines, curves, filled shapes, fills and pixels.
int play_shape(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const Args at{r.p};
    switch (r.fn) {
    case META_LINETO: return LineTo(dc, at(0), at(1));
    case META_MOVETO: return MoveToEx(dc, at(0), at(1), nullptr);
    case META_ARC: return Arc(dc, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    case META_PIE: return Pie(dc, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    case META_CHORD: return Chord(dc, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    case META_ELLIPSE: return Ellipse(dc, at(0), at(1), at(2), at(3));
    case META_RECTANGLE: return Rectangle(dc, at(0), at(1), at(2), at(3));
    case META_ROUNDRECT: return RoundRect(dc, at(0), at(1), at(2), at(3), at(4), at(5));
    case META_FLOODFILL: return FloodFill(dc, at(0), at(1), COLORREF(at(2)));
    case META_EXTFLOODFILL: return ExtFloodFill(dc, at(0), at(1), COLORREF(at(2)), UINT(at(3)));
    case META_PATBLT: return PatBlt(dc, at(0), at(1), at(2), at(3), DWORD(at(4)));
    case META_SETPIXEL: return SetPixel(dc, at(0), at(1), COLORREF(at(2))) != CLR_INVALID;
    default:
        return kNotMine;
    }
}

// Text.
int play_text(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const Args at{r.p};
    const auto& p = r.p;
    const std::size_t n = r.p.size();
    switch (r.fn) {
    case META_TEXTOUT:
        if (!r.blob) return FALSE;
        return TextOutA(dc, at(0), at(1), reinterpret_cast<const char*>(r.blob->bytes.data()),
                        int(r.blob->bytes.size()));
    case META_EXTTEXTOUT: {
        if (!r.blob || n < 8) return FALSE;
        RECT rc{at(3), at(4), at(5), at(6)};
        std::size_t ndx = std::size_t(std::max(0, at(7)));
        std::vector<int> dx;
        if (ndx && n >= 8 + ndx) dx.assign(p.begin() + 8, p.begin() + 8 + std::ptrdiff_t(ndx));
        return ExtTextOutA(dc, at(0), at(1), UINT(at(2)), &rc, reinterpret_cast<const char*>(r.blob->bytes.data()),
                           UINT(r.blob->bytes.size()), dx.size() >= r.blob->bytes.size() ? dx.data() : nullptr);
    }
    default:
        return kNotMine;
    }
}

// Polylines and polygons.
int play_poly(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const auto& p = r.p;
    const std::size_t n = r.p.size();
    switch (r.fn) {
    case META_POLYGON:
    case META_POLYLINE: {
        if (n < 2) return FALSE;
        std::vector<POINT> pts(n / 2);
        for (std::size_t i = 0; i < pts.size(); ++i) pts[i] = POINT{p[2 * i], p[2 * i + 1]};
        return r.fn == META_POLYGON ? Polygon(dc, pts.data(), int(pts.size())) : Polyline(dc, pts.data(), int(pts.size()));
    }
    case META_POLYPOLYGON: {
        if (n < 1) return FALSE;
        int polys = p[0];
        if (polys <= 0 || std::size_t(polys) + 1 > n) return FALSE;
        std::vector<int> counts(p.begin() + 1, p.begin() + 1 + polys);
        std::size_t total = 0;
        for (int c : counts) {
            if (c < 0) return FALSE;
            total += std::size_t(c);
        }
        if (1 + std::size_t(polys) + 2 * total > n) return FALSE;
        std::vector<POINT> pts(total);
        const std::int32_t* q = p.data() + 1 + polys;
        for (std::size_t i = 0; i < total; ++i) pts[i] = POINT{q[2 * i], q[2 * i + 1]};
        return PolyPolygon(dc, pts.data(), counts.data(), polys);
    }
    default:
        return kNotMine;
    }
}

// Device-independent bitmaps drawn onto the target.
int play_dib(HDC dc, const MetaRecord& r, std::vector<GdiObject*>&)
{
    const Args at{r.p};
    bool bottomUp = false;   // a 24-bit DIB read in place: the order of its rows
    switch (r.fn) {
    case META_DIBBITBLT:   // DIBBITBLT: x, y, w, h, sx, sy, rop
    case META_DIBSTRETCHBLT: { // DIBSTRETCHBLT: x, y, w, h, sx, sy, sw, sh, rop
        if (!r.blob) return FALSE;
        if (QImage rows; r.blob->rows24(rows, bottomUp)) {
            int done = r.fn == META_DIBBITBLT
                           ? gdi_blit_rows24(dc, at(0), at(1), at(2), at(3), rows, bottomUp, at(4), at(5), at(2), at(3),
                                             DWORD(at(6)))
                           : gdi_blit_rows24(dc, at(0), at(1), at(2), at(3), rows, bottomUp, at(4), at(5), at(6), at(7),
                                             DWORD(at(8)));
            if (done >= 0) return done;
        }
        const QImage& img = r.blob->picture();
        if (img.isNull()) return FALSE;
        HDC src = CreateCompatibleDC(nullptr);
        GdiObject* bm = gdi_new_object(GdiObject::Bitmap);
        bm->image = img;   // shares the pixels
        SelectObject(src, bm);
        BOOL ok;
        if (r.fn == META_DIBBITBLT)
            ok = BitBlt(dc, at(0), at(1), at(2), at(3), src, at(4), at(5), DWORD(at(6)));
        else
            ok = StretchBlt(dc, at(0), at(1), at(2), at(3), src, at(4), at(5), at(6), at(7), DWORD(at(8)));
        DeleteDC(src);
        DeleteObject(bm);
        return ok;
    }
    case META_STRETCHDIB:   // STRETCHDIB: x, y, w, h, sx, sy, sw, sh, usage, rop
    case META_SETDIBTODEV: { // SETDIBTODEV: x, y, w, h, sx, sy, start, lines, usage
        if (!r.blob) return FALSE;
        if (QImage rows; r.blob->rows24(rows, bottomUp)) {
            // DIB source rectangles count rows from the bottom of a bottom-up DIB
            // (in 64 bits: a hostile record's values must not overflow)
            const std::int64_t h = rows.height(), span = r.fn == META_STRETCHDIB ? at(7) : at(3);
            const std::int64_t top = bottomUp ? h - at(5) - span : at(5);
            const int sy = int(std::clamp<std::int64_t>(top, INT32_MIN, INT32_MAX));
            int done = r.fn == META_STRETCHDIB
                           ? gdi_blit_rows24(dc, at(0), at(1), at(2), at(3), rows, bottomUp, at(4), sy, at(6), at(7),
                                             DWORD(at(9)))
                           : gdi_blit_rows24(dc, at(0), at(1), at(2), at(3), rows, bottomUp, at(4), sy, at(2), at(3),
                                             SRCCOPY);
            if (done >= 0) return done;
        }
        const QImage& img = r.blob->picture();
        if (img.isNull()) return FALSE;
        HDC src = CreateCompatibleDC(nullptr);
        GdiObject* bm = gdi_new_object(GdiObject::Bitmap);
        bm->image = img;
        SelectObject(src, bm);
        BOOL ok;
        // DIB source rectangles count rows from the bottom of a bottom-up DIB
        bottomUp = r.blob->bottomUp;
        if (r.fn == META_STRETCHDIB) {
            int sy = bottomUp ? img.height() - at(5) - at(7) : at(5);
            ok = StretchBlt(dc, at(0), at(1), at(2), at(3), src, at(4), sy, at(6), at(7), DWORD(at(9)));
        } else {
            int sy = bottomUp ? img.height() - at(5) - at(3) : at(5);
            ok = BitBlt(dc, at(0), at(1), at(2), at(3), src, at(4), sy, SRCCOPY);
        }
        DeleteDC(src);
        DeleteObject(bm);
        return ok;
    }
    default:
        return kNotMine;
    }
}

// Objects: made into the replay's table, selected, deleted.
int play_object(HDC dc, const MetaRecord& r, std::vector<GdiObject*>& table)
{
    const Args at{r.p};
    const std::size_t n = r.p.size();
    switch (r.fn) {
    case META_CREATEPENINDIRECT: return put_object(table, CreatePen(at(0), at(1), COLORREF(at(2)))) >= 0;
    case META_CREATEBRUSHINDIRECT: {
        LOGBRUSH lb{UINT(at(0)), COLORREF(at(1)), std::uintptr_t(at(2))};
        HBRUSH b = lb.lbStyle == BS_PATTERN ? nullptr : CreateBrushIndirect(&lb);
        return put_object(table, b ? b : dummy_object()) >= 0;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        HBRUSH b = pattern_brush(r);
        return put_object(table, b ? b : dummy_object()) >= 0;
    }
    case META_CREATEFONTINDIRECT: {
        LOGFONTA lf{};
        lf.lfHeight = at(0); lf.lfWidth = at(1); lf.lfEscapement = at(2); lf.lfOrientation = at(3);
        lf.lfWeight = at(4); lf.lfItalic = BYTE(at(5)); lf.lfUnderline = BYTE(at(6)); lf.lfStrikeOut = BYTE(at(7));
        lf.lfCharSet = BYTE(at(8)); lf.lfOutPrecision = BYTE(at(9)); lf.lfClipPrecision = BYTE(at(10));
        lf.lfQuality = BYTE(at(11)); lf.lfPitchAndFamily = BYTE(at(12));
        if (r.blob) {
            std::size_t k = std::min<std::size_t>(r.blob->bytes.size(), LF_FACESIZE - 1);
            if (k) std::memcpy(lf.lfFaceName, r.blob->bytes.data(), k);
            lf.lfFaceName[k] = 0;
        }
        return put_object(table, CreateFontIndirectA(&lf)) >= 0;
    }
    case META_CREATEPALETTE: case META_CREATEREGION: case META_CREATEPATTERNBRUSH:
        return put_object(table, dummy_object()) >= 0;
    case META_SELECTOBJECT: {
        int i = at(0);
        if (n < 1 || i < 0 || std::size_t(i) >= table.size() || !table[i]) return FALSE;
        if (table[i]->kind == GdiObject::Region) return TRUE;   // placeholders are not selected
        return SelectObject(dc, table[i]) != nullptr;
    }
    case META_DELETEOBJECT: {
        int i = at(0);
        if (n < 1 || i < 0 || std::size_t(i) >= table.size() || !table[i]) return FALSE;
        DeleteObject(table[i]);
        table[i] = nullptr;
        return TRUE;
    }
    default:
        return kNotMine;
    }
}
}  // namespace

BOOL gdi_play_record(HDC dc, const MetaRecord& r, std::vector<GdiObject*>& table)
{
    using Family = int (*)(HDC, const MetaRecord&, std::vector<GdiObject*>&);
    static constexpr Family families[] = {play_state, play_mapping, play_clip, play_shape,
                                          play_text, play_poly, play_dib, play_object};
    for (Family f : families)
        if (int done = f(dc, r, table); done != kNotMine) return done;
    return TRUE;   // calls without a picture of their own (palettes, escapes) are skipped
}
