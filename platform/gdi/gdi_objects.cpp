// Drawing objects: pens, brushes, fonts, bitmaps, regions. Handles are checked
// against the set of live objects, so a stale or foreign handle fails cleanly.
// An object deleted while a device context still holds it lives on until the
// last context lets go (the call succeeds, as programs expect).
#include "platform/gdi/gdi_internal.h"
#include "platform/utf8_cut.h"

#include <cstring>
#include <unordered_set>

namespace {
std::unordered_set<GdiObject*>& live()
{
    static std::unordered_set<GdiObject*> s;
    return s;
}

GdiObject* make_stock(int which)
{
    GdiObject* o = nullptr;
    switch (which) {
    case WHITE_BRUSH: case LTGRAY_BRUSH: case GRAY_BRUSH: case DKGRAY_BRUSH: case BLACK_BRUSH: {
        static const COLORREF c[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
        o = new GdiObject(GdiObject::Brush);
        o->brushColor = c[which];
        break;
    }
    case NULL_BRUSH:
        o = new GdiObject(GdiObject::Brush);
        o->brushStyle = BS_NULL;
        break;
    case WHITE_PEN: case BLACK_PEN: case NULL_PEN:
        o = new GdiObject(GdiObject::Pen);
        o->penColor = which == WHITE_PEN ? 0xFFFFFF : 0;
        o->penStyle = which == NULL_PEN ? PS_NULL : PS_SOLID;
        break;
    case SYSTEM_FONT: case DEFAULT_GUI_FONT:
        o = new GdiObject(GdiObject::Font);
        o->lf.lfHeight = which == SYSTEM_FONT ? 16 : 13;
        o->lf.lfWeight = which == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
        std::strcpy(o->lf.lfFaceName, "System");
        break;
    case 100: {   // the one-pixel bitmap a new memory DC starts with
        o = new GdiObject(GdiObject::Bitmap);
        o->image = QImage(1, 1, QImage::Format_RGB32);
        o->image.fill(0xFF000000);
        o->bpp = 1;
        break;
    }
    default:
        return nullptr;
    }
    o->stock = true;
    live().insert(o);
    return o;
}
}  // namespace

bool gdi_valid_object(HGDIOBJ obj) { return obj && live().count(obj); }

GdiObject* gdi_new_object(GdiObject::Kind k)
{
    auto* o = new GdiObject(k);
    live().insert(o);
    return o;
}

void gdi_retain(GdiObject* o)
{
    if (o) ++o->refs;
}

void gdi_release(GdiObject* o)
{
    if (!o) return;
    if (--o->refs <= 0 && o->deleted) delete o;
}

GdiObject* gdi_stock(int which)
{
    static GdiObject* table[101] = {};
    if (which < 0 || which > 100) return nullptr;
    if (!table[which]) table[which] = make_stock(which);
    return table[which];
}

HGDIOBJ GetStockObject(int which) { return which == 100 ? nullptr : gdi_stock(which); }

BOOL DeleteObject(HGDIOBJ obj)
{
    if (!gdi_valid_object(obj)) return FALSE;
    if (obj->stock) return TRUE;
    rec_object_deleted(obj);
    live().erase(obj);
    obj->deleted = true;
    if (obj->refs <= 0) delete obj;
    return TRUE;
}

BOOL UnrealizeObject(HGDIOBJ obj) { return gdi_valid_object(obj) ? TRUE : FALSE; }

DWORD GetObjectType(HGDIOBJ obj)
{
    if (!gdi_valid_object(obj)) return 0;
    switch (obj->kind) {
    case GdiObject::Pen: return OBJ_PEN;
    case GdiObject::Brush: return OBJ_BRUSH;
    case GdiObject::Font: return OBJ_FONT;
    case GdiObject::Bitmap: return OBJ_BITMAP;
    case GdiObject::Region: return OBJ_REGION;
    case GdiObject::Palette: return OBJ_PAL;
    }
    return 0;
}

int GetObjectA(HGDIOBJ obj, int size, void* out)
{
    if (!gdi_valid_object(obj)) return 0;
    switch (obj->kind) {
    case GdiObject::Bitmap: {
        BITMAP b{};
        b.bmType = 0;
        b.bmWidth = obj->image.width();
        b.bmHeight = obj->image.height();
        b.bmPlanes = 1;
        b.bmBitsPixel = WORD(obj->bpp);
        b.bmWidthBytes = obj->bpp == 1 ? ((b.bmWidth + 15) / 16) * 2 : b.bmWidth * 4;
        b.bmBits = nullptr;
        if (!out) return int(sizeof b);
        if (size < int(sizeof b)) return 0;
        std::memcpy(out, &b, sizeof b);
        return int(sizeof b);
    }
    case GdiObject::Font:
        if (!out) return int(sizeof(LOGFONTA));
        if (size < int(sizeof(LOGFONTA))) return 0;
        std::memcpy(out, &obj->lf, sizeof(LOGFONTA));
        return int(sizeof(LOGFONTA));
    case GdiObject::Brush: {
        LOGBRUSH lb{obj->brushStyle, obj->brushColor, std::uintptr_t(obj->hatch)};
        if (!out) return int(sizeof lb);
        if (size < int(sizeof lb)) return 0;
        std::memcpy(out, &lb, sizeof lb);
        return int(sizeof lb);
    }
    case GdiObject::Pen: {
        // LOGPEN layout: style, width as POINT, colour
        struct { UINT style; POINT width; COLORREF color; } lp{UINT(obj->penStyle), {obj->penWidth, 0}, obj->penColor};
        if (!out) return int(sizeof lp);
        if (size < int(sizeof lp)) return 0;
        std::memcpy(out, &lp, sizeof lp);
        return int(sizeof lp);
    }
    default:
        return 0;
    }
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    GdiObject* o = gdi_new_object(GdiObject::Pen);
    o->penStyle = (style < PS_SOLID || style > PS_INSIDEFRAME) ? PS_SOLID : style;
    o->penWidth = width < 0 ? 0 : width;
    o->penColor = color & 0xFFFFFF;
    return o;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    GdiObject* o = gdi_new_object(GdiObject::Brush);
    o->brushColor = color & 0xFFFFFF;
    return o;
}

HBRUSH CreateHatchBrush(int style, COLORREF color)
{
    GdiObject* o = gdi_new_object(GdiObject::Brush);
    o->brushStyle = BS_HATCHED;
    o->brushColor = color & 0xFFFFFF;
    o->hatch = (style < HS_HORIZONTAL || style > HS_DIAGCROSS) ? HS_HORIZONTAL : style;
    return o;
}

HBRUSH CreatePatternBrush(HBITMAP bm)
{
    if (!gdi_valid_object(bm) || bm->kind != GdiObject::Bitmap || bm->image.isNull()) return nullptr;
    GdiObject* o = gdi_new_object(GdiObject::Brush);
    o->brushStyle = BS_PATTERN;
    o->pattern = bm->image.copy();   // the brush keeps its own copy: the bitmap may be deleted
    o->patternMono = bm->bpp == 1;
    return o;
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage)
{
    if (!packedDib) return nullptr;
    const auto* h = static_cast<const BITMAPINFOHEADER*>(packedDib);
    std::size_t hs = h->biSize == 12 ? 12 : 40;
    BITMAPINFOHEADER hh{};
    std::memcpy(&hh, packedDib, hs == 40 ? 40 : 0);
    if (hs == 12) return nullptr;
    std::size_t colors = gdi_dib_colors_bytes(hh, usage);
    std::size_t rows = gdi_dib_rows_bytes(hh);
    bool mono = false;
    QImage img = gdi_dib_to_image(static_cast<const BYTE*>(packedDib), hs + colors,
                                  static_cast<const BYTE*>(packedDib) + hs + colors, rows, usage, &mono);
    if (img.isNull()) return nullptr;
    GdiObject* o = gdi_new_object(GdiObject::Brush);
    o->brushStyle = BS_PATTERN;
    o->pattern = img;
    return o;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb)
{
    if (!lb) return nullptr;
    switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: {
        GdiObject* o = gdi_new_object(GdiObject::Brush);
        o->brushStyle = BS_NULL;
        return o;
    }
    case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default: return nullptr;
    }
}

HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (w <= 0 || h <= 0 || planes != 1 || w > 32767 || h > 32767) return nullptr;
    if (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull()) return nullptr;
    img.fill(0xFF000000);
    if (bits) {
        const auto* b = static_cast<const BYTE*>(bits);
        if (bitsPerPixel == 1) {
            int stride = ((w + 15) / 16) * 2;   // rows of device-dependent bitmaps are WORD aligned
            for (int y = 0; y < h; ++y) {
                auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < w; ++x)
                    line[x] = (b[y * stride + x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFFFF : 0xFF000000;
            }
        } else {
            int bpp = int(bitsPerPixel) / 8;
            int stride = ((w * bpp + 1) / 2) * 2;
            for (int y = 0; y < h; ++y) {
                auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                const BYTE* s = b + std::size_t(y) * stride;
                for (int x = 0; x < w; ++x) line[x] = qRgb(s[x * bpp + 2], s[x * bpp + 1], s[x * bpp]);
            }
        }
    }
    GdiObject* o = gdi_new_object(GdiObject::Bitmap);
    o->image = img;
    o->bpp = bitsPerPixel == 1 ? 1 : 32;
    return o;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h)
{
    (void)dc;   // always a colour bitmap: the screen's depth whatever the DC holds
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || std::int64_t(w) * h > (std::int64_t(1) << 29))
        return nullptr;
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull()) return nullptr;
    img.fill(0xFF000000);
    GdiObject* o = gdi_new_object(GdiObject::Bitmap);
    o->image = img;
    return o;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* bih, DWORD init, const void* bits,
                       const BITMAPINFO* bi, UINT usage)
{
    if (!bih) return nullptr;
    int w = bih->biWidth, h = bih->biHeight < 0 ? -bih->biHeight : bih->biHeight;
    HBITMAP bm = CreateCompatibleBitmap(dc, w, h);
    if (!bm) return nullptr;
    if ((init & CBM_INIT) && bits && bi) SetDIBits(dc, bm, 0, UINT(h), bits, bi, usage);
    return bm;
}

HFONT CreateFontIndirectA(const LOGFONTA* lf)
{
    if (!lf) return nullptr;
    GdiObject* o = gdi_new_object(GdiObject::Font);
    o->lf = *lf;
    o->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return o;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face) {
        // keep whole UTF-8 sequences only
        std::size_t n = utf8_cut(face, std::strlen(face), LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, face, n);
        lf.lfFaceName[n] = 0;
    }
    return CreateFontIndirectA(&lf);
}

HRGN CreateRectRgn(int l, int t, int r, int b)
{
    GdiObject* o = gdi_new_object(GdiObject::Region);
    o->rect = RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
    return o;
}
