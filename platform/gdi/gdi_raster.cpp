// Raster drawing: lines, polylines, rectangles, ellipses, arcs, pies, chords,
// polygons, pixels and flood fill, on a DC's image (or printer painter), with
// the GDI rules programs can see: one-pixel pens below a pixel, LineTo without
// its last pixel, rectangles and ellipses without their right and bottom edges,
// arcs counter-clockwise between the radials (the pixels of the curves come from
// gdi_curves.cpp). On a recording DC the call is recorded instead.
#include "platform/gdi/gdi_curves.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/gdi/gdi_surface.h"

#include <QPainterPath>

#include <cmath>
#include <numbers>

QRgb gdi_qrgb(COLORREF c) { return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
COLORREF gdi_colorref(QRgb c) { return COLORREF(qRed(c)) | (COLORREF(qGreen(c)) << 8) | (COLORREF(qBlue(c)) << 16); }

bool gdi_pixel_view(HDC dc, PixelView& v, const QRect* reach)
{
    QImage* img = gdi_target_image(dc);
    if (!img || img->isNull()) return false;
    v.img = img;
    v.box = img->rect();
    if (dc->st.hasClip) {
        v.box &= dc->st.clip.boundingRect();
        if (dc->st.clip.rectCount() > 1) v.region = &dc->st.clip;
    }
    gdi_reach_pixels(dc, reach ? *reach & v.box : v.box);
    auto f = img->format();
    v.direct = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
    if (v.direct) {
        v.bits = img->bits();
        v.bpl = img->bytesPerLine();
    }
    v.rop2 = dc->st.rop2;
    return true;
}

PainterGuard::~PainterGuard()
{
    if (owned && p) {
        p->end();
        delete p;
    } else if (p) {
        p->restore();
    }
}

bool gdi_painter(HDC dc, PainterGuard& g)
{
    if (QImage* img = gdi_target_image(dc)) {
        if (img->isNull()) return false;
        gdi_reach_pixels(dc, dc->st.hasClip ? dc->st.clip.boundingRect() & img->rect() : img->rect());
        g.p = new QPainter(img);
        g.owned = true;
    } else if (dc->kind == DeviceContext::Device && dc->device) {
        if (!dc->painter) {
            dc->painter = new QPainter;
            if (!dc->painter->begin(dc->device)) {
                delete dc->painter;
                dc->painter = nullptr;
                return false;
            }
        }
        g.p = dc->painter;
        g.p->save();
    } else {
        return false;
    }
    g.p->setRenderHint(QPainter::Antialiasing, false);
    g.p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (dc->st.hasClip) g.p->setClipRegion(dc->st.clip);
    switch (dc->st.rop2) {
    case R2_XORPEN: g.p->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case R2_NOT: g.p->setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case R2_NOTCOPYPEN: g.p->setCompositionMode(QPainter::RasterOp_NotSource); break;
    case R2_MASKPEN: g.p->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case R2_MERGEPEN: g.p->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case R2_BLACK: case R2_WHITE: case R2_COPYPEN: default: break;
    }
    return true;
}

PenSpec gdi_pen_spec(HDC dc, const Mapping& m)
{
    PenSpec ps;
    GdiObject* pen = dc->st.pen;
    if (!pen || pen->penStyle == PS_NULL) return ps;
    ps.null = false;
    ps.style = pen->penStyle;
    ps.color = gdi_qrgb(pen->penColor);
    if (dc->st.rop2 == R2_BLACK) ps.color = 0xFF000000;
    if (dc->st.rop2 == R2_WHITE) ps.color = 0xFFFFFFFF;
    double w = std::abs(pen->penWidth * m.sx);
    int iw = gdi_round(w);
    ps.cosmetic = pen->penWidth == 0 || iw <= 1;
    ps.width = ps.cosmetic ? 1 : iw;
    if (!ps.cosmetic) ps.style = PS_SOLID;   // wide pens are solid
    return ps;
}

QPen gdi_qpen(const PenSpec& ps, HDC dc)
{
    if (ps.null) return QPen(Qt::NoPen);
    QPen p(QColor::fromRgb(ps.color));
    p.setWidth(ps.cosmetic ? 0 : ps.width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    switch (ps.style) {
    case PS_DASH: p.setDashPattern({18, 6}); break;
    case PS_DOT: p.setDashPattern({3, 3}); break;
    case PS_DASHDOT: p.setDashPattern({9, 6, 3, 6}); break;
    case PS_DASHDOTDOT: p.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    default: break;
    }
    (void)dc;
    return p;
}

QImage gdi_brush_image(const DcState& st)
{
    GdiObject* b = st.brush;
    if (!b || b->brushStyle == BS_NULL) return QImage();
    QRgb text = gdi_qrgb(st.text), bk = gdi_qrgb(st.bk);
    if (b->brushStyle == BS_SOLID) {
        QImage img(1, 1, QImage::Format_RGB32);
        img.setPixel(0, 0, gdi_qrgb(b->brushColor));
        return img;
    }
    if (b->brushStyle == BS_HATCHED) {
        QImage img(8, 8, QImage::Format_ARGB32);
        QRgb fg = gdi_qrgb(b->brushColor), back = st.bkMode == OPAQUE ? bk : 0x00000000;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool on = false;
                switch (b->hatch) {
                case HS_HORIZONTAL: on = y == 4; break;
                case HS_VERTICAL: on = x == 4; break;
                case HS_FDIAGONAL: on = x == y; break;
                case HS_BDIAGONAL: on = x == 7 - y; break;
                case HS_CROSS: on = x == 4 || y == 4; break;
                case HS_DIAGCROSS: on = x == y || x == 7 - y; break;
                }
                img.setPixel(x, y, on ? fg : back);
            }
        return img;
    }
    if (b->patternMono) {
        // 0 bits (black) take the text colour, 1 bits (white) the background colour
        QImage img(b->pattern.size(), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, (b->pattern.pixel(x, y) & 0xFFFFFF) ? bk : text);
        return img;
    }
    return b->pattern;
}

QBrush gdi_qbrush(HDC dc)
{
    QImage img = gdi_brush_image(dc->st);
    if (img.isNull()) return QBrush(Qt::NoBrush);
    if (img.width() == 1 && img.height() == 1) return QBrush(QColor::fromRgb(img.pixel(0, 0)));
    return QBrush(img);
}

void gdi_fill_rect_pixels(const PixelView& v, const QImage& pattern, QRect r)
{
    if (pattern.isNull()) return;
    r &= v.box;
    if (r.isEmpty()) return;
    int pw = pattern.width(), ph = pattern.height();
    bool solid = pw == 1 && ph == 1;
    QRgb sc = pattern.pixel(0, 0);
    bool hasAlpha = pattern.hasAlphaChannel();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        if (solid && v.direct && !v.region && v.rop2 == R2_COPYPEN) {
            QRgb* line = v.row(y);
            std::fill(line + r.left(), line + r.right() + 1, sc | 0xFF000000u);
            continue;
        }
        const QRgb* prow = reinterpret_cast<const QRgb*>(pattern.constScanLine(((y % ph) + ph) % ph));
        for (int x = r.left(); x <= r.right(); ++x) {
            if (v.region && !v.region->contains(QPoint(x, y))) continue;
            QRgb c = solid ? sc : prow[((x % pw) + pw) % pw];
            if (hasAlpha && qAlpha(c) == 0) continue;
            v.set(x, y, c);
        }
    }
}

namespace {
Mapping map_of(HDC dc) { return gdi_mapping(dc->st, dc->dpiX, dc->dpiY); }
QPoint dev(const Mapping& m, int x, int y) { return QPoint(gdi_round(m.dx(x)), gdi_round(m.dy(y))); }

// The dash pattern of a cosmetic pen, in pixels (on, off, on, off, ...).
const std::vector<int>* dash_of(int style)
{
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashdot{9, 6, 3, 6}, dashdotdot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH: return &dash;
    case PS_DOT: return &dot;
    case PS_DASHDOT: return &dashdot;
    case PS_DASHDOTDOT: return &dashdotdot;
    default: return nullptr;
    }
}

struct Dasher {
    const std::vector<int>* pat = nullptr;
    int idx = 0, left = 0;
    bool on() const { return !pat || idx % 2 == 0; }
    void step()
    {
        if (!pat) return;
        if (--left <= 0) {
            idx = (idx + 1) % int(pat->size());
            left = (*pat)[idx];
        }
    }
};

// Bresenham from a to b, leaving out b, clipped per pixel.
void thin_line(const PixelView& v, QPoint a, QPoint b, QRgb color, QRgb gap, bool opaqueGaps, Dasher& d)
{
    int x0 = a.x(), y0 = a.y(), x1 = b.x(), y1 = b.y();
    int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    // skip lines that lie entirely outside the box
    if ((x0 < v.box.left() && x1 < v.box.left()) || (x0 > v.box.right() && x1 > v.box.right()) ||
        (y0 < v.box.top() && y1 < v.box.top()) || (y0 > v.box.bottom() && y1 > v.box.bottom())) {
        if (d.pat)
            for (int i = std::max(dx, dy); i > 0; --i) d.step();
        return;
    }
    bool fast = v.direct && !v.region && v.rop2 == R2_COPYPEN && !d.pat;
    int n = std::max(dx, dy);
    if (dx >= dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i < n; ++i) {
            if (fast) {
                if (v.box.contains(x0, y0)) v.row(y0)[x0] = color;
            } else if (d.on()) {
                v.plot(x0, y0, color);
            } else if (opaqueGaps) {
                v.plot(x0, y0, gap);
            }
            d.step();
            if (err > 0) {
                y0 += sy;
                err -= 2 * dx;
            }
            err += 2 * dy;
            x0 += sx;
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i < n; ++i) {
            if (fast) {
                if (v.box.contains(x0, y0)) v.row(y0)[x0] = color;
            } else if (d.on()) {
                v.plot(x0, y0, color);
            } else if (opaqueGaps) {
                v.plot(x0, y0, gap);
            }
            d.step();
            if (err > 0) {
                x0 += sx;
                err -= 2 * dy;
            }
            err += 2 * dx;
            y0 += sy;
        }
    }
}

// Draws a polyline of device points with the DC's pen (the last point left out).
bool stroke_polyline(HDC dc, const std::vector<QPoint>& pts, const PenSpec& ps)
{
    if (ps.null || pts.size() < 2) return true;
    PixelView v;
    if (ps.cosmetic && gdi_pixel_view(dc, v)) {
        Dasher d;
        d.pat = dash_of(ps.style);
        if (d.pat) d.left = (*d.pat)[0];
        QRgb gap = gdi_qrgb(dc->st.bk);
        for (std::size_t i = 1; i < pts.size(); ++i)
            thin_line(v, pts[i - 1], pts[i], ps.color | 0xFF000000u, gap, dc->st.bkMode == OPAQUE, d);
        return true;
    }
    PainterGuard g;
    if (!gdi_painter(dc, g)) return false;
    g.p->setPen(gdi_qpen(ps, dc));
    g.p->setBrush(Qt::NoBrush);
    if (ps.cosmetic && pts.size() == 2 && pts[0] == pts[1]) return true;
    g.p->drawPolyline(pts.data(), int(pts.size()));
    return true;
}

// The box of a shape in device pixels, normalised; right and bottom exclusive.
QRect shape_box(const Mapping& m, int l, int t, int r, int b)
{
    QPoint a = dev(m, l, t), c = dev(m, r, b);
    int x0 = std::min(a.x(), c.x()), x1 = std::max(a.x(), c.x());
    int y0 = std::min(a.y(), c.y()), y1 = std::max(a.y(), c.y());
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));   // QRect's right/bottom are inclusive
}

// Parametric angle (degrees, counter-clockwise on screen) of the radial through p.
double radial_angle(const QRectF& box, QPointF p)
{
    QPointF c = box.center();
    double a = box.width() / 2, b = box.height() / 2;
    double dx = p.x() - c.x(), dy = -(p.y() - c.y());
    if (a <= 0 || b <= 0) return 0;
    return std::atan2(dy * a, dx * b) * 180.0 / std::numbers::pi;
}

// True when a shape in `box` (with its pen) cannot touch a pixel the DC may
// change: replays of long recordings into a small clip skip it without raster work.
bool misses_target(HDC dc, const QRect& box, const PenSpec& ps)
{
    QImage* img = gdi_target_image(dc);
    if (!img) return false;
    QRect area = img->rect();
    if (dc->st.hasClip) area &= dc->st.clip.boundingRect();
    int margin = ps.null ? 1 : std::max(1, ps.width) + 1;
    return !box.adjusted(-margin, -margin, margin, margin).intersects(area);
}

// Paints a curve's pixels: the brush inside its outline (when filled; with a
// null pen see CurvePixels::nullPenFillsPen), then the pen pixels in order,
// each once, so that raster operations and dashes apply as along a line.
void paint_curve(HDC dc, const PixelView& v, const PenSpec& ps, const CurvePixels& c, bool filled)
{
    if (filled) {
        const QImage pattern = gdi_brush_image(dc->st);
        if (!pattern.isNull()) {
            const bool insideOnly = ps.null && !c.nullPenFillsPen;
            const CurvePixels inside{{}, insideOnly ? c.outline : std::vector<QPoint>{}, false};
            gdi_curve_fill(insideOnly ? inside : c, v.box.top(), v.box.bottom(), [&](int y, int x0, int x1) {
                gdi_fill_rect_pixels(v, pattern, QRect(x0, y, x1 - x0 + 1, 1));
            });
            if (ps.null && c.nullPenFillsPen)
                for (const QPoint& p : c.pen) gdi_fill_rect_pixels(v, pattern, QRect(p, QSize(1, 1)));
        }
    }
    if (ps.null) return;
    Dasher d;
    d.pat = dash_of(ps.style);
    if (d.pat) d.left = (*d.pat)[0];
    const QRgb color = ps.color | 0xFF000000u, gap = gdi_qrgb(dc->st.bk);
    const bool opaqueGaps = dc->st.bkMode == OPAQUE;
    for (const QPoint& p : c.pen) {
        if (d.on()) v.plot(p.x(), p.y(), color);
        else if (opaqueGaps) v.plot(p.x(), p.y(), gap);
        d.step();
    }
}

// On a DC with pixels the curves are rasterised by our own walk (gdi_curves.h),
// wide pens as a disc stamped along it; very wide pens and printers go through
// the painter in the box without its right and bottom edges.
enum class Shape { Ellipse, Arc, Pie, Chord, RoundRect };

BOOL curve(HDC dc, Shape kind, int l, int t, int r, int b, const POINT* ends, SIZE corner = {})
{
    Mapping m = map_of(dc);
    QRect box = shape_box(m, l, t, r, b);
    if (box.width() <= 0 || box.height() <= 0) return TRUE;
    PenSpec ps = gdi_pen_spec(dc, m);
    if (misses_target(dc, box, ps)) return TRUE;
    QPoint s, e;
    if (ends) {
        s = dev(m, ends[0].x, ends[0].y);
        e = dev(m, ends[1].x, ends[1].y);
    }
    const QSize rounding(gdi_round(std::abs(corner.cx * m.sx)), gdi_round(std::abs(corner.cy * m.sy)));
    PixelView v;
    if ((ps.cosmetic || ps.width <= gdi_curve_max_pen) && gdi_pixel_view(dc, v)) {
        CurvePixels px;
        bool ok = false;
        switch (kind) {
        case Shape::Ellipse: ok = gdi_ellipse_pixels(box, px); break;
        case Shape::Arc: ok = ps.null || gdi_arc_pixels(box, s, e, CurveKind::Arc, px); break;
        case Shape::Pie: ok = gdi_arc_pixels(box, s, e, CurveKind::Pie, px); break;
        case Shape::Chord: ok = gdi_arc_pixels(box, s, e, CurveKind::Chord, px); break;
        case Shape::RoundRect: ok = gdi_roundrect_pixels(box, rounding, px); break;
        }
        if (ok) {
            if (!ps.null && !ps.cosmetic) gdi_curve_widen(px, ps.width);
            paint_curve(dc, v, ps, px, kind != Shape::Arc);
            return TRUE;
        }
    }
    PainterGuard g;
    if (!gdi_painter(dc, g)) return FALSE;
    g.p->setPen(gdi_qpen(ps, dc));
    g.p->setBrush(kind == Shape::Arc ? QBrush(Qt::NoBrush) : gdi_qbrush(dc));
    QRectF geo(box.left(), box.top(), box.width() - 1, box.height() - 1);
    if (kind == Shape::Ellipse) {
        g.p->drawEllipse(geo);
        return TRUE;
    }
    if (kind == Shape::RoundRect) {
        g.p->drawRoundedRect(geo, rounding.width() / 2.0, rounding.height() / 2.0);
        return TRUE;
    }
    double a0 = radial_angle(geo, s), a1 = radial_angle(geo, e);
    double span = a1 - a0;
    while (span <= 0) span += 360;
    while (span > 360) span -= 360;
    if (std::abs(span - 360) < 1e-9 || (s == e)) span = 360;
    int qa = int(std::lround(a0 * 16)), qs = int(std::lround(span * 16));
    if (kind == Shape::Arc) {
        if (!ps.null) g.p->drawArc(geo, qa, qs);
    } else if (kind == Shape::Pie) {
        g.p->drawPie(geo, qa, qs);
    } else {
        g.p->drawChord(geo, qa, qs);
    }
    return TRUE;
}

std::vector<QPoint> dev_points(const Mapping& m, const POINT* pts, int n)
{
    std::vector<QPoint> v(std::size_t(std::max(0, n)));
    for (int i = 0; i < n; ++i) v[std::size_t(i)] = dev(m, pts[i].x, pts[i].y);
    return v;
}

bool recording(HDC dc) { return dc->kind == DeviceContext::Record; }
}  // namespace

#define VALID_DC(fail) \
    if (!gdi_valid_dc(dc)) return fail

BOOL MoveToEx(HDC dc, int x, int y, POINT* old)
{
    VALID_DC(FALSE);
    if (old) *old = dc->st.cur;
    dc->st.cur = POINT{x, y};
    if (recording(dc)) rec_add(dc, META_MOVETO, {x, y});
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
    VALID_DC(FALSE);
    POINT from = dc->st.cur;
    dc->st.cur = POINT{x, y};
    if (recording(dc)) {
        rec_add(dc, META_LINETO, {x, y});
        return TRUE;
    }
    Mapping m = map_of(dc);
    PenSpec ps = gdi_pen_spec(dc, m);
    if (ps.null) return TRUE;
    PixelView v;
    if (ps.cosmetic && ps.style == PS_SOLID && gdi_pixel_view(dc, v)) {
        // the common case without a heap allocation
        Dasher d;
        thin_line(v, dev(m, from.x, from.y), dev(m, x, y), ps.color | 0xFF000000u, 0, false, d);
        return TRUE;
    }
    std::vector<QPoint> pts{dev(m, from.x, from.y), dev(m, x, y)};
    return stroke_polyline(dc, pts, ps);
}

BOOL Polyline(HDC dc, const POINT* pts, int n)
{
    VALID_DC(FALSE);
    if (!pts || n < 2) return FALSE;
    if (recording(dc)) {
        std::vector<std::int32_t> p;
        p.reserve(std::size_t(n) * 2);
        for (int i = 0; i < n; ++i) {
            p.push_back(pts[i].x);
            p.push_back(pts[i].y);
        }
        rec_add_vec(dc, META_POLYLINE, std::move(p));
        return TRUE;
    }
    Mapping m = map_of(dc);
    return stroke_polyline(dc, dev_points(m, pts, n), gdi_pen_spec(dc, m));
}

BOOL PolyPolygon(HDC dc, const POINT* pts, const int* counts, int n)
{
    VALID_DC(FALSE);
    if (!pts || !counts || n <= 0) return FALSE;
    std::size_t total = 0;
    for (int i = 0; i < n; ++i) {
        if (counts[i] < 0) return FALSE;
        total += std::size_t(counts[i]);
    }
    if (recording(dc)) {
        std::vector<std::int32_t> p{n};
        for (int i = 0; i < n; ++i) p.push_back(counts[i]);
        for (std::size_t i = 0; i < total; ++i) {
            p.push_back(pts[i].x);
            p.push_back(pts[i].y);
        }
        rec_add_vec(dc, META_POLYPOLYGON, std::move(p));
        return TRUE;
    }
    Mapping m = map_of(dc);
    QPainterPath path;
    path.setFillRule(dc->st.polyFill == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    std::size_t k = 0;
    for (int i = 0; i < n; ++i) {
        std::vector<QPoint> poly = dev_points(m, pts + k, counts[i]);
        k += std::size_t(counts[i]);
        if (poly.size() < 2) continue;
        path.moveTo(poly[0]);
        for (std::size_t j = 1; j < poly.size(); ++j) path.lineTo(poly[j]);
        path.closeSubpath();
    }
    PainterGuard g;
    if (!gdi_painter(dc, g)) return FALSE;
    g.p->setPen(gdi_qpen(gdi_pen_spec(dc, m), dc));
    g.p->setBrush(gdi_qbrush(dc));
    g.p->drawPath(path);
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* pts, int n)
{
    VALID_DC(FALSE);
    if (!pts || n < 2) return FALSE;
    if (recording(dc)) {
        std::vector<std::int32_t> p;
        for (int i = 0; i < n; ++i) {
            p.push_back(pts[i].x);
            p.push_back(pts[i].y);
        }
        rec_add_vec(dc, META_POLYGON, std::move(p));
        return TRUE;
    }
    Mapping m = map_of(dc);
    std::vector<QPoint> v = dev_points(m, pts, n);
    PainterGuard g;
    if (!gdi_painter(dc, g)) return FALSE;
    g.p->setPen(gdi_qpen(gdi_pen_spec(dc, m), dc));
    g.p->setBrush(gdi_qbrush(dc));
    g.p->drawPolygon(v.data(), int(v.size()), dc->st.polyFill == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    return TRUE;
}

BOOL Rectangle(HDC dc, int l, int t, int r, int b)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_RECTANGLE, {l, t, r, b});
        return TRUE;
    }
    Mapping m = map_of(dc);
    QRect box = shape_box(m, l, t, r, b);
    if (box.width() <= 0 || box.height() <= 0) return TRUE;
    PenSpec ps = gdi_pen_spec(dc, m);
    PixelView v;
    if ((ps.null || ps.cosmetic) && gdi_pixel_view(dc, v)) {
        QRect fill = ps.null ? QRect(box.left(), box.top(), box.width() - 1, box.height() - 1) : box;
        gdi_fill_rect_pixels(v, gdi_brush_image(dc->st), fill);
        if (!ps.null) {
            QPoint c[5] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft(), box.topLeft()};
            Dasher d;
            d.pat = dash_of(ps.style);
            if (d.pat) d.left = (*d.pat)[0];
            for (int i = 1; i < 5; ++i)
                thin_line(v, c[i - 1], c[i], ps.color, gdi_qrgb(dc->st.bk), dc->st.bkMode == OPAQUE, d);
            if (box.width() == 1 && box.height() == 1) v.plot(box.left(), box.top(), ps.color);
        }
        return TRUE;
    }
    PainterGuard g;
    if (!gdi_painter(dc, g)) return FALSE;
    g.p->setPen(gdi_qpen(ps, dc));
    g.p->setBrush(gdi_qbrush(dc));
    g.p->drawRect(QRect(box.left(), box.top(), box.width() - 1, box.height() - 1));
    return TRUE;
}

BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_ROUNDRECT, {l, t, r, b, w, h});
        return TRUE;
    }
    Mapping m = map_of(dc);
    // a corner one pixel wide or high is no rounding at all
    if (gdi_round(std::abs(w * m.sx)) <= 1 || gdi_round(std::abs(h * m.sy)) <= 1) return Rectangle(dc, l, t, r, b);
    return curve(dc, Shape::RoundRect, l, t, r, b, nullptr, SIZE{w, h});
}

BOOL Ellipse(HDC dc, int l, int t, int r, int b)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_ELLIPSE, {l, t, r, b});
        return TRUE;
    }
    return curve(dc, Shape::Ellipse, l, t, r, b, nullptr);
}

BOOL Arc(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_ARC, {l, t, r, b, xs, ys, xe, ye});
        return TRUE;
    }
    const POINT ends[2] = {{xs, ys}, {xe, ye}};
    return curve(dc, Shape::Arc, l, t, r, b, ends);
}

BOOL Pie(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_PIE, {l, t, r, b, xs, ys, xe, ye});
        return TRUE;
    }
    const POINT ends[2] = {{xs, ys}, {xe, ye}};
    return curve(dc, Shape::Pie, l, t, r, b, ends);
}

BOOL Chord(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_CHORD, {l, t, r, b, xs, ys, xe, ye});
        return TRUE;
    }
    const POINT ends[2] = {{xs, ys}, {xe, ye}};
    return curve(dc, Shape::Chord, l, t, r, b, ends);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF c)
{
    VALID_DC(CLR_INVALID);
    c &= 0xFFFFFF;
    if (recording(dc)) {
        rec_add(dc, META_SETPIXEL, {x, y, std::int32_t(c)});
        return c;
    }
    QPoint d = gdi_to_device(dc, x, y);
    PixelView v;
    if (gdi_pixel_view(dc, v)) {
        if (!v.inside(d.x(), d.y())) return CLR_INVALID;
        v.rop2 = R2_COPYPEN;
        v.set(d.x(), d.y(), gdi_qrgb(c));
        return c;
    }
    PainterGuard g;
    if (!gdi_painter(dc, g)) return CLR_INVALID;
    g.p->fillRect(QRect(d, QSize(1, 1)), QColor::fromRgb(gdi_qrgb(c)));
    return c;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    VALID_DC(CLR_INVALID);
    if (recording(dc)) return CLR_INVALID;
    QPoint d = gdi_to_device(dc, x, y);
    // the 512 x 32 tile around the pixel: reads nearby then find it painted. Wide
    // and low, so that a tile spans few memory pages of a wide back buffer.
    const int tx = d.x() & ~511, ty = d.y() & ~31;
    const RECT tile{tx, ty, tx + 512, ty + 32};
    gdi_settle_pixels(dc, &tile);
    PixelView v;
    const QRect one(d, QSize(1, 1));
    if (!gdi_pixel_view(dc, v, &one) || !v.inside(d.x(), d.y())) return CLR_INVALID;
    return gdi_colorref(v.get(d.x(), d.y()));
}

int FillRect(HDC dc, const RECT* r, HBRUSH br)
{
    VALID_DC(0);
    if (!r || !gdi_valid_object(br) || br->kind != GdiObject::Brush) return 0;
    if (recording(dc)) {
        rec_select(dc, br);
        rec_add(dc, META_PATBLT, {r->left, r->top, r->right - r->left, r->bottom - r->top, std::int32_t(PATCOPY)});
        if (dc->st.brush) rec_select(dc, dc->st.brush);
        return 1;
    }
    DcState keep = dc->st;
    GdiObject* old = dc->st.brush;
    gdi_retain(old);
    gdi_state_select(dc->st, br);
    dc->st.rop2 = R2_COPYPEN;
    BOOL ok = PatBlt(dc, r->left, r->top, r->right - r->left, r->bottom - r->top, PATCOPY);
    gdi_state_select(dc->st, old);
    gdi_release(old);
    dc->st.rop2 = keep.rop2;
    return ok;
}

int FrameRect(HDC dc, const RECT* r, HBRUSH br)
{
    VALID_DC(0);
    if (!r) return 0;
    RECT e[4] = {{r->left, r->top, r->right, r->top + 1},
                 {r->left, r->bottom - 1, r->right, r->bottom},
                 {r->left, r->top, r->left + 1, r->bottom},
                 {r->right - 1, r->top, r->right, r->bottom}};
    int ok = 1;
    for (auto& x : e) ok &= FillRect(dc, &x, br);
    return ok;
}

BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF color, UINT type)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_EXTFLOODFILL, {x, y, std::int32_t(color & 0xFFFFFF), std::int32_t(type)});
        return TRUE;
    }
    gdi_settle_pixels(dc, nullptr);   // the fill may reach anywhere
    PixelView v;
    if (!gdi_pixel_view(dc, v)) return FALSE;
    QPoint s = gdi_to_device(dc, x, y);
    if (!v.inside(s.x(), s.y())) return FALSE;
    QRgb target = gdi_qrgb(color & 0xFFFFFF);
    auto fillable = [&](int px, int py) {
        QRgb c = v.get(px, py) | 0xFF000000u;
        return type == FLOODFILLSURFACE ? c == target : c != target;
    };
    if (!fillable(s.x(), s.y())) return FALSE;
    QImage pattern = gdi_brush_image(dc->st);
    if (pattern.isNull()) return TRUE;
    // scanline fill on a mask, then paint the mask with the brush
    QRect box = v.box;
    std::vector<std::uint8_t> seen(std::size_t(box.width()) * std::size_t(box.height()), 0);
    auto idx = [&](int px, int py) { return std::size_t(py - box.top()) * std::size_t(box.width()) + std::size_t(px - box.left()); };
    std::vector<QPoint> stack{s};
    while (!stack.empty()) {
        QPoint p = stack.back();
        stack.pop_back();
        int py = p.y();
        int lx = p.x();
        if (seen[idx(lx, py)] || !fillable(lx, py)) continue;
        while (lx - 1 >= box.left() && v.inside(lx - 1, py) && !seen[idx(lx - 1, py)] && fillable(lx - 1, py)) --lx;
        int rx = p.x();
        while (rx + 1 <= box.right() && v.inside(rx + 1, py) && !seen[idx(rx + 1, py)] && fillable(rx + 1, py)) ++rx;
        for (int i = lx; i <= rx; ++i) seen[idx(i, py)] = 1;
        for (int ny : {py - 1, py + 1}) {
            if (ny < box.top() || ny > box.bottom()) continue;
            bool run = false;
            for (int i = lx; i <= rx; ++i) {
                bool ok = v.inside(i, ny) && !seen[idx(i, ny)] && fillable(i, ny);
                if (ok && !run) stack.push_back(QPoint(i, ny));
                run = ok;
            }
        }
    }
    int pw = pattern.width(), ph = pattern.height();
    v.rop2 = R2_COPYPEN;
    for (int py = box.top(); py <= box.bottom(); ++py)
        for (int px = box.left(); px <= box.right(); ++px)
            if (seen[idx(px, py)]) v.set(px, py, pattern.pixel(((px % pw) + pw) % pw, ((py % ph) + ph) % ph));
    return TRUE;
}

BOOL FloodFill(HDC dc, int x, int y, COLORREF border)
{
    VALID_DC(FALSE);
    if (recording(dc)) {
        rec_add(dc, META_FLOODFILL, {x, y, std::int32_t(border & 0xFFFFFF)});
        return TRUE;
    }
    return ExtFloodFill(dc, x, y, border, FLOODFILLBORDER);
}
