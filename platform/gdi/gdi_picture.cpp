// Metafiles as pictures: their bounds, their rendering onto an image, and the
// placeable file form (the one desktop programs expect for image/x-wmf).
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_surface.h"

#include <QImage>

#include <climits>
#include <cmath>

BOOL gdi_metafile_bounds(HMETAFILE h, RECT* out)
{
    std::shared_ptr<MetaFile> mf = gdi_metafile(h);
    if (!mf || !out) return FALSE;
    if (mf->placeable && mf->bbox.right != mf->bbox.left && mf->bbox.bottom != mf->bbox.top) {
        *out = mf->bbox;
        return TRUE;
    }
    bool org = false, ext = false;
    POINT o{0, 0};
    SIZE e{0, 0};
    long long l = LLONG_MAX, t = LLONG_MAX, r = LLONG_MIN, b = LLONG_MIN;
    auto add = [&](long long x, long long y) {
        l = std::min(l, x);
        t = std::min(t, y);
        r = std::max(r, x);
        b = std::max(b, y);
    };
    for (const MetaRecord& rec : mf->recs) {
        const auto& p = rec.p;
        switch (rec.fn) {
        case META_SETWINDOWORG: if (!org && p.size() >= 2) { o = POINT{p[0], p[1]}; org = true; } break;
        case META_SETWINDOWEXT: if (!ext && p.size() >= 2) { e = SIZE{p[0], p[1]}; ext = true; } break;
        case META_LINETO: case META_MOVETO: case META_SETPIXEL: case META_TEXTOUT: case META_EXTTEXTOUT:
            if (p.size() >= 2) add(p[0], p[1]);
            break;
        case META_ELLIPSE: case META_RECTANGLE: case META_ROUNDRECT: case META_ARC: case META_PIE: case META_CHORD:
            if (p.size() >= 4) { add(p[0], p[1]); add(p[2], p[3]); }
            break;
        case META_POLYGON: case META_POLYLINE:
            for (std::size_t i = 0; i + 1 < p.size(); i += 2) add(p[i], p[i + 1]);
            break;
        case META_PATBLT: case META_DIBBITBLT: case META_DIBSTRETCHBLT: case META_STRETCHDIB: case META_SETDIBTODEV:
            if (p.size() >= 4) { add(p[0], p[1]); add((long long)p[0] + p[2], (long long)p[1] + p[3]); }
            break;
        default: break;
        }
    }
    if (ext && e.cx != 0 && e.cy != 0) {
        *out = RECT{o.x, o.y, LONG(std::clamp<long long>((long long)o.x + e.cx, INT32_MIN, INT32_MAX)),
                    LONG(std::clamp<long long>((long long)o.y + e.cy, INT32_MIN, INT32_MAX))};
        return TRUE;
    }
    if (l > r || t > b) return FALSE;
    *out = RECT{LONG(l), LONG(t), LONG(r == l ? r + 1 : r), LONG(b == t ? b + 1 : b)};
    return TRUE;
}

QImage gdi_metafile_image(HMETAFILE h, int w, int hgt)
{
    RECT b{};
    if (!gdi_valid_metafile(h) || w <= 0 || hgt <= 0 || std::int64_t(w) * hgt > (std::int64_t(1) << 27) ||
        !gdi_metafile_bounds(h, &b))
        return QImage();
    QImage img(w, hgt, QImage::Format_RGB32);
    if (img.isNull()) return img;
    img.fill(0xFFFFFFFF);
    HDC dc = gdi_create_image_dc(&img, nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, b.left, b.top, nullptr);
    SetWindowExtEx(dc, b.right - b.left, b.bottom - b.top, nullptr);
    SetViewportExtEx(dc, w, hgt, nullptr);
    PlayMetaFile(dc, h);
    gdi_destroy_image_dc(dc);
    return img;
}

std::vector<unsigned char> gdi_placeable_wmf(HMETAFILE h, int unitsPerInch, const RECT& r)
{
    std::shared_ptr<MetaFile> mf = gdi_metafile(h);
    if (!mf || unitsPerInch <= 0) return {};
    // A picture carries its own frame (bounds, units per inch, window extent), so
    // it may be written in larger units when its values do not fit 16 bits: every
    // logical coordinate, the bounds and the units per inch are divided by the same
    // power of two. Consumers draw the same picture, at most k/2 units coarser.
    for (int k = 1; k <= 256; k *= 2) {
        auto div = [k](long long v) { return static_cast<long long>(std::floor(double(v) / k + 0.5)); };
        long long l = div(r.left), t = div(r.top), rr = div(r.right), b = div(r.bottom);
        long long inch = div(unitsPerInch);
        if (inch < 1 || inch > 65535) continue;
        bool fits = true;
        for (long long v : {l, t, rr, b})
            if (v < -32768 || v > 32767) fits = false;
        if (!fits) continue;
        std::vector<BYTE> body = wmf_write(*mf, k);
        if (body.empty()) continue;
        std::vector<BYTE> out(22);
        auto w16 = [&](std::size_t o, long long v) {
            out[o] = BYTE(v & 0xFF);
            out[o + 1] = BYTE((v >> 8) & 0xFF);
        };
        w16(0, 0xCDD7);
        w16(2, 0x9AC6);
        w16(4, 0);
        w16(6, l);
        w16(8, t);
        w16(10, rr);
        w16(12, b);
        w16(14, inch);
        // 16..19 reserved, 20 checksum of the first ten words
        WORD sum = 0;
        for (int i = 0; i < 10; ++i) sum ^= WORD(out[2 * std::size_t(i)] | (out[2 * std::size_t(i) + 1] << 8));
        w16(20, sum);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    return {};
}
