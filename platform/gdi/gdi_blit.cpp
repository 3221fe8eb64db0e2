// Block transfers: PatBlt, BitBlt and StretchBlt with ternary raster operation
// codes (pattern, source, destination). Only the part of the destination that
// is visible (image and clip) is computed, so putting a large image and
// showing a window's worth of it costs a window's worth of work.
#include "platform/gdi/gdi_pixels.h"
#include "platform/gdi/gdi_surface.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
// A ternary raster operation as eight minterm masks: bit k of the code says
// whether the output bit is set where (P, S, D) are the bits of k (P is bit 2).
// Branch-free, so the per-pixel loops stay cheap for every code.
struct Rop3 {
    std::uint32_t m[8];
    explicit Rop3(unsigned idx)
    {
        for (unsigned k = 0; k < 8; ++k) m[k] = ((idx >> k) & 1u) ? ~0u : 0u;
    }
    QRgb operator()(QRgb P, QRgb S, QRgb D) const
    {
        const std::uint32_t nP = ~P, nS = ~S, nD = ~D;
        std::uint32_t r = (m[0] & nP & nS & nD) | (m[1] & nP & nS & D) | (m[2] & nP & S & nD) |
                          (m[3] & nP & S & D) | (m[4] & P & nS & nD) | (m[5] & P & nS & D) |
                          (m[6] & P & S & nD) | (m[7] & P & S & D);
        return r | 0xFF000000u;
    }
};
bool uses_source(unsigned idx) { return ((idx >> 2) & 0x33) != (idx & 0x33); }
bool uses_pattern(unsigned idx) { return ((idx >> 4) & 0x0F) != (idx & 0x0F); }

// Destination rectangle in device pixels with the mirroring of negative extents.
struct DevRect {
    int x0, y0, w, h;   // w, h > 0
    bool flipX, flipY;
};
DevRect rect_between(int ax, int ay, int bx, int by)
{
    DevRect r;
    r.flipX = bx < ax;
    r.flipY = by < ay;
    // a mirrored rectangle covers the pixels from its far end + 1 up to its start
    r.x0 = r.flipX ? bx + 1 : ax;
    r.y0 = r.flipY ? by + 1 : ay;
    r.w = std::abs(bx - ax);
    r.h = std::abs(by - ay);
    return r;
}
DevRect dev_rect(HDC dc, int x, int y, int w, int h)
{
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    return rect_between(gdi_round(m.dx(x)), gdi_round(m.dy(y)), gdi_round(m.dx(double(x) + w)),
                        gdi_round(m.dy(double(y) + h)));
}

// Where source pixels come from: a bitmap's RGB32 image, or the rows of a 24-bit
// DIB read in place (BGR888, perhaps bottom-up), turned into RGB32 one row at a
// time and only over the columns the destination needs.
struct Source {
    const QImage* img = nullptr;
    bool bottomUp = false;
};

BOOL blit_pixels(HDC dst, int x, int y, int w, int h, Source src, DevRect s, DWORD rop);

BOOL blit(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
{
    unsigned idx = (rop >> 16) & 0xFF;
    bool needS = uses_source(idx);
    if (needS && !gdi_valid_dc(src)) return FALSE;
    QImage* simg = needS ? gdi_target_image(src) : nullptr;
    if (needS && (!simg || simg->isNull())) return FALSE;

    // source rectangle in the source's device pixels
    DevRect s{0, 0, 1, 1, false, false};
    if (needS) {
        s = dev_rect(src, sx, sy, sw, sh);
        if (s.w == 0 || s.h == 0) return FALSE;
        const RECT read{s.x0, s.y0, s.x0 + s.w, s.y0 + s.h};
        gdi_settle_pixels(src, &read);
    }

    return blit_pixels(dst, x, y, w, h, Source{simg, false}, s, rop);
}

BOOL blit_pixels(HDC dst, int x, int y, int w, int h, Source src, DevRect s, DWORD rop)
{
    unsigned idx = (rop >> 16) & 0xFF;
    bool needS = uses_source(idx);
    const QImage* simg = needS ? src.img : nullptr;
    if (dst->kind == DeviceContext::Record) {
        if (!needS) {
            rec_add(dst, META_PATBLT, {x, y, w, h, std::int32_t(rop)});
            return TRUE;
        }
        QRect sr = QRect(s.x0, s.y0, s.w, s.h).intersected(simg->rect());
        if (sr.isEmpty()) return FALSE;
        QImage part = simg->copy(sr).convertToFormat(QImage::Format_RGB32);
        if (s.flipX || s.flipY) part = part.mirrored(s.flipX, s.flipY);
        auto b = std::make_shared<MetaBlob>();
        b->image = part;
        b->decoded = true;
        // the destination keeps its extents; a partial source keeps its proportion
        rec_add(dst, META_DIBSTRETCHBLT, {x, y, w, h, 0, 0, part.width(), part.height(), std::int32_t(rop)}, b);
        return TRUE;
    }

    DevRect d = dev_rect(dst, x, y, w, h);
    if (d.w == 0 || d.h == 0) return TRUE;
    bool flipX = d.flipX != s.flipX, flipY = d.flipY != s.flipY;

    PixelView v;
    const QRect reach(d.x0, d.y0, d.w, d.h);
    if (!gdi_pixel_view(dst, v, &reach)) {
        // printer or other paint device: the source as an image, scaled
        PainterGuard g;
        if (!gdi_painter(dst, g)) return FALSE;
        if (!needS) {
            QImage pat = gdi_brush_image(dst->st);
            if (idx == 0x00) g.p->fillRect(QRect(d.x0, d.y0, d.w, d.h), Qt::black);
            else if (idx == 0xFF) g.p->fillRect(QRect(d.x0, d.y0, d.w, d.h), Qt::white);
            else if (!pat.isNull()) g.p->fillRect(QRect(d.x0, d.y0, d.w, d.h), QBrush(pat));
            return TRUE;
        }
        QImage part = simg->copy(QRect(s.x0, s.y0, s.w, s.h));
        if (flipX || flipY) part = part.mirrored(flipX, flipY);
        g.p->drawImage(QRect(d.x0, d.y0, d.w, d.h), part);
        return TRUE;
    }

    QRect vis = QRect(d.x0, d.y0, d.w, d.h) & v.box;
    if (vis.isEmpty()) return TRUE;
    // nearest source column and row for every visible destination pixel
    std::vector<int> cols(std::size_t(vis.width())), rows(std::size_t(vis.height()));
    for (int i = 0; i < vis.width(); ++i) {
        long long k = vis.left() + i - d.x0;
        if (flipX) k = d.w - 1 - k;
        cols[std::size_t(i)] = s.x0 + int(k * s.w / d.w);
    }
    for (int j = 0; j < vis.height(); ++j) {
        long long k = vis.top() + j - d.y0;
        if (flipY) k = d.h - 1 - k;
        rows[std::size_t(j)] = s.y0 + int(k * s.h / d.h);
    }
    QImage pat = uses_pattern(idx) ? gdi_brush_image(dst->st) : QImage();
    if (uses_pattern(idx) && pat.isNull()) {
        pat = QImage(1, 1, QImage::Format_RGB32);
        pat.fill(0xFF000000);   // a null brush paints as black
    }
    int pw = pat.isNull() ? 1 : pat.width(), ph = pat.isNull() ? 1 : pat.height();
    const bool s32 = simg && (simg->format() == QImage::Format_RGB32 || simg->format() == QImage::Format_ARGB32 ||
                              simg->format() == QImage::Format_ARGB32_Premultiplied);
    const bool s24 = simg && simg->format() == QImage::Format_BGR888;
    const bool sdirect = s32 || s24;
    int sW = simg ? simg->width() : 0, sH = simg ? simg->height() : 0;
    // 24-bit rows are widened into `wide` over the columns the destination reads
    std::vector<QRgb> wide;
    int c0 = 0, c1 = -1;
    if (s24) {
        auto [lo, hi] = std::minmax_element(cols.begin(), cols.end());
        c0 = std::max(*lo, 0);
        c1 = std::min(*hi, sW - 1);
        wide.resize(std::size_t(sW));
    }
    auto source_row = [&](int syy) -> const QRgb* {
        if (!needS || syy < 0 || syy >= sH || !sdirect) return nullptr;
        const uchar* line = simg->constScanLine(src.bottomUp ? sH - 1 - syy : syy);
        if (s32) return reinterpret_cast<const QRgb*>(line);
        for (int c = c0; c <= c1; ++c) {
            const uchar* p = line + 3 * c;
            wide[std::size_t(c)] = 0xFF000000u | (QRgb(p[2]) << 16) | (QRgb(p[1]) << 8) | p[0];
        }
        return wide.data();
    };
    bool copy = idx == 0xCC && v.direct && sdirect && !v.region;
    // one 24-bit source pixel to one destination pixel: widened straight into the row
    const bool copy24 = copy && s24 && !flipX && s.w == d.w && cols[0] >= 0 && cols[0] + vis.width() <= sW;
    const Rop3 apply(idx);
    for (int j = 0; j < vis.height(); ++j) {
        int dy = vis.top() + j;
        int syy = rows[std::size_t(j)];
        if (copy24) {
            if (syy < 0 || syy >= sH) continue;
            const uchar* p = simg->constScanLine(src.bottomUp ? sH - 1 - syy : syy) + 3 * std::size_t(cols[0]);
            QRgb* drow = v.row(dy) + vis.left();
            for (int i = 0; i < vis.width(); ++i, p += 3)
                drow[i] = 0xFF000000u | (QRgb(p[2]) << 16) | (QRgb(p[1]) << 8) | p[0];
            continue;
        }
        const QRgb* srow = source_row(syy);
        if (copy) {
            QRgb* drow = v.row(dy) + vis.left();
            if (!srow) continue;
            // straight copy when one source pixel maps to one destination pixel
            if (!flipX && s.w == d.w && cols[0] >= 0 && cols[0] + vis.width() <= sW) {
                const QRgb* sp = srow + cols[0];
                for (int i = 0; i < vis.width(); ++i) drow[i] = sp[i] | 0xFF000000u;
                continue;
            }
            for (int i = 0; i < vis.width(); ++i) {
                int sxx = cols[std::size_t(i)];
                if (sxx >= 0 && sxx < sW) drow[i] = srow[sxx] | 0xFF000000u;
            }
            continue;
        }
        const QRgb* prow = pat.isNull() ? nullptr : reinterpret_cast<const QRgb*>(pat.constScanLine(((dy % ph) + ph) % ph));
        if (!needS && v.direct && !v.region && pw == 1) {
            // one colour over the row: fills and inversions without a source
            const QRgb P = prow ? prow[0] : 0;
            QRgb* drow = v.row(dy) + vis.left();
            if (idx == 0xF0) std::fill(drow, drow + vis.width(), P | 0xFF000000u);
            else for (int i = 0; i < vis.width(); ++i) drow[i] = apply(P, 0, drow[i]);
            continue;
        }
        if (needS && srow && v.direct && !v.region && !prow) {
            QRgb* drow = v.row(dy);
            for (int i = 0; i < vis.width(); ++i) {
                int sxx = cols[std::size_t(i)];
                if (sxx < 0 || sxx >= sW) continue;
                QRgb* d = drow + vis.left() + i;
                *d = apply(0, srow[sxx], *d);
            }
            continue;
        }
        for (int i = 0; i < vis.width(); ++i) {
            int dx = vis.left() + i;
            if (v.region && !v.region->contains(QPoint(dx, dy))) continue;
            QRgb S = 0, P = 0;
            if (needS) {
                int sxx = cols[std::size_t(i)];
                if (sxx < 0 || sxx >= sW || syy < 0 || syy >= sH) continue;
                S = srow ? srow[sxx] : simg->pixel(sxx, src.bottomUp ? sH - 1 - syy : syy);
            }
            if (prow) P = prow[((dx % pw) + pw) % pw];
            QRgb D = v.get(dx, dy);
            QRgb out = apply(P, S, D);
            if (v.direct) v.row(dy)[dx] = out;
            else v.img->setPixel(dx, dy, out);
        }
    }
    return TRUE;
}
}  // namespace

int gdi_blit_rows24(HDC dst, int x, int y, int w, int h, const QImage& rows, bool rowsBottomUp, int sx, int sy,
                    int sw, int sh, DWORD rop)
{
    if (!gdi_valid_dc(dst) || rows.format() != QImage::Format_BGR888) return -1;
    const QImage* target = gdi_target_image(dst);
    if (dst->kind == DeviceContext::Record || !target || target->isNull()) return -1;
    // the source of a DIB call is measured in plain pixels, as a fresh memory DC measures them
    DevRect s{0, 0, 1, 1, false, false};
    if (uses_source((rop >> 16) & 0xFF)) {
        s = rect_between(sx, sy, gdi_round(double(sx) + sw), gdi_round(double(sy) + sh));
        if (s.w == 0 || s.h == 0) return FALSE;
    }
    return blit_pixels(dst, x, y, w, h, Source{&rows, rowsBottomUp}, s, rop);
}

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop)
{
    if (!gdi_valid_dc(dc)) return FALSE;
    unsigned idx = (rop >> 16) & 0xFF;
    if (uses_source(idx)) return FALSE;
    return blit(dc, x, y, w, h, nullptr, 0, 0, 0, 0, rop);
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop)
{
    if (!gdi_valid_dc(dst)) return FALSE;
    if (src && gdi_valid_dc(src)) {
        // the source extent: the same logical size, measured in the source's mapping
        return blit(dst, x, y, w, h, src, sx, sy, w, h, rop);
    }
    return blit(dst, x, y, w, h, nullptr, 0, 0, 0, 0, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
{
    if (!gdi_valid_dc(dst)) return FALSE;
    return blit(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
}

BOOL gdi_draw_picture(HDC dc, int x, int y, int cx, int cy, const QImage& picture)
{
    if (!gdi_valid_dc(dc) || picture.isNull()) return FALSE;
    QImage* target = gdi_target_image(dc);
    if (!target) return FALSE;
    const QPoint a = gdi_to_device(dc, x, y), b = gdi_to_device(dc, x + cx, y + cy);
    gdi_reach_pixels(dc, QRect(a, QSize(b.x() - a.x(), b.y() - a.y())).normalized() & target->rect());
    QPainter p(target);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(a, QSize(b.x() - a.x(), b.y() - a.y())), picture);
    return TRUE;
}
