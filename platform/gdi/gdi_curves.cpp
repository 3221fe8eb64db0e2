// Pixel geometry of the curved shapes (see gdi_curves.h). The walk, the arc
// ends and the line ties were settled pixel by pixel against the reference
// rasteriser; docs/gdi.md says why this is ours rather than the toolkit's.
#include "platform/gdi/gdi_curves.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <unordered_set>

namespace {
using i64 = std::int64_t;

i64 ceil_div(i64 n, i64 d)   // d > 0
{
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

// The first quadrant of the ellipse inscribed in a w x h pixel box, in doubled
// coordinates about the box centre (X to the right, Y up), from the top to the
// right end. Each step takes the candidate nearest the curve (the smaller
// |B²X² + A²Y² − A²B²|, a tie stepping both ways); the walk steps one coordinate
// while the slope keeps that the faster one and the other after. Ellipses walk
// up from the right end and stop where X runs out (so a very thin one may end
// below its box's top row), as GDI's do; the corners of round rectangles walk
// down from the top, which matches GDI's corners better.
enum class Walk { FromRight, FromTop };

std::vector<QPoint> quadrant(int w, int h, Walk walk)
{
    const i64 A = w - 1, B = h - 1, A2 = A * A, B2 = B * B;
    auto f = [&](i64 x, i64 y) { return std::llabs(B2 * x * x + A2 * y * y - A2 * B2); };
    std::vector<QPoint> q;
    if (walk == Walk::FromRight) {
        i64 x = A, y = B % 2;
        while (A2 * y < B2 * x && x >= A % 2 && y <= B) {
            q.emplace_back(int(x), int(y));
            if (f(x - 2, y + 2) <= f(x, y + 2)) x -= 2;
            y += 2;
        }
        while (x >= A % 2 && y <= B) {
            q.emplace_back(int(x), int(y));
            if (f(x - 2, y + 2) <= f(x - 2, y)) y += 2;
            x -= 2;
        }
        std::reverse(q.begin(), q.end());
        return q;
    }
    i64 x = A % 2, y = B;
    while (B2 * x < A2 * y && y >= 0 && x <= A) {
        q.emplace_back(int(x), int(y));
        if (f(x + 2, y - 2) < f(x + 2, y)) y -= 2;
        x += 2;
    }
    while (y >= 0 && x <= A) {
        q.emplace_back(int(x), int(y));
        if (f(x + 2, y - 2) < f(x, y - 2)) x += 2;
        y -= 2;
    }
    return q;
}

// One pixel of the walk around the whole ellipse: its quadrant (0 upper right,
// then counter-clockwise) and its offset from that quadrant's own centre pixel.
// The arc ends are decided on these offsets, quadrant by quadrant.
struct RingPixel {
    QPoint p;
    int quadrant;
    i64 dx, dy;
};

struct Frame {
    int l, t, w, h;
    int x(int X) const { return (X + 2 * l + w - 1) / 2; }   // exact: the parities match
    int y(int Y) const { return (2 * t + h - 1 - Y) / 2; }
};

// The walk counter-clockwise on screen, from the right end of the middle.
std::vector<RingPixel> ring(const QRect& box)
{
    const Frame fr{box.left(), box.top(), box.width(), box.height()};
    const std::vector<QPoint> q = quadrant(fr.w, fr.h, Walk::FromRight);
    const int xr = fr.l + fr.w / 2, xl = fr.l + (fr.w - 1) / 2;
    const int yt = fr.t + (fr.h - 1) / 2, yb = fr.t + fr.h / 2;
    std::vector<RingPixel> out;
    out.reserve(q.size() * 4);
    auto add = [&](int X, int Y, int quad) {
        QPoint p(fr.x(X), fr.y(Y));
        if (!out.empty() && out.back().p == p) return;
        i64 dx = p.x() - ((quad == 0 || quad == 3) ? xr : xl);
        i64 dy = ((quad == 0 || quad == 1) ? yt : yb) - p.y();
        out.push_back({p, quad, dx, dy});
    };
    for (auto it = q.rbegin(); it != q.rend(); ++it) add(it->x(), it->y(), 0);
    for (const QPoint& v : q) add(-v.x(), v.y(), 1);
    for (auto it = q.rbegin(); it != q.rend(); ++it) add(-it->x(), -it->y(), 2);
    for (const QPoint& v : q) add(v.x(), -v.y(), 3);
    if (out.size() > 1 && out.front().p == out.back().p) out.pop_back();
    return out;
}

QPoint box_centre(const QRect& box)
{
    return QPoint((2 * box.left() + box.width()) >> 1, (2 * box.top() + box.height()) >> 1);
}

// The index of the ring pixel an arc end stops at: the last pixel of the
// radial's quadrant that lies before the radial (strictly in the upper half,
// ties included in the lower), else the pixel just before that quadrant.
std::size_t arc_end(const std::vector<RingPixel>& r, const QRect& box, QPoint p)
{
    const QPoint c = box_centre(box);
    const i64 ex = p.x() - c.x(), ey = c.y() - p.y();
    const int quad = ey >= 0 ? (ex >= 0 ? 0 : 1) : (ex >= 0 ? 3 : 2);
    const std::size_t n = r.size();
    std::size_t first = n, last = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (r[i].quadrant != quad) continue;
        if (first == n) first = i;
        const i64 cross = r[i].dx * ey - r[i].dy * ex;
        if (quad < 2 ? cross > 0 : cross >= 0) last = i;
    }
    if (last != n) return last;
    if (first == n) return 0;
    return (first + n - 1) % n;
}

// A line from a to b, both ends included; a tie on the minor axis takes the
// smaller coordinate, whichever way the line runs.
void tie_low_line(QPoint a, QPoint b, std::vector<QPoint>& out)
{
    const i64 dx = b.x() - a.x(), dy = b.y() - a.y();
    const i64 n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0) {
        out.push_back(a);
        return;
    }
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    for (i64 i = 0; i <= n; ++i) {
        if (xMajor) {
            const i64 x = a.x() + (dx >= 0 ? i : -i);
            i64 num = 2 * (a.y() * dx + (x - a.x()) * dy) - dx, den = 2 * dx;
            if (den < 0) num = -num, den = -den;
            out.emplace_back(int(x), int(ceil_div(num, den)));
        } else {
            const i64 y = a.y() + (dy >= 0 ? i : -i);
            i64 num = 2 * (a.x() * dy + (y - a.y()) * dx) - dy, den = 2 * dy;
            if (den < 0) num = -num, den = -den;
            out.emplace_back(int(ceil_div(num, den)), int(y));
        }
    }
}

// Keeps the first occurrence of every pixel, in order.
std::vector<QPoint> unique_in_order(const std::vector<QPoint>& pts)
{
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(pts.size() * 2);
    std::vector<QPoint> out;
    out.reserve(pts.size());
    for (const QPoint& p : pts) {
        const std::uint64_t key = (std::uint64_t(std::uint32_t(p.y())) << 32) | std::uint32_t(p.x());
        if (seen.insert(key).second) out.push_back(p);
    }
    return out;
}

// Sides and positions small enough that the doubled coordinates and the walk's
// products stay far inside their integers.
bool handled(const QRect& box)
{
    constexpr int far = 1 << 28;
    return box.width() > 0 && box.height() > 0 && box.width() <= gdi_curve_max_side &&
           box.height() <= gdi_curve_max_side && box.left() > -far && box.left() < far && box.top() > -far &&
           box.top() < far;
}
}  // namespace

bool gdi_ellipse_pixels(const QRect& box, CurvePixels& out)
{
    out = {};
    if (!handled(box)) return false;
    if (box.width() <= 2 || box.height() <= 2) {
        // too thin for a walk: the pen covers the box (a single pixel stays empty)
        if (box.width() * box.height() > 1)
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x) out.pen.emplace_back(x, y);
        return true;
    }
    for (const RingPixel& r : ring(box)) out.pen.push_back(r.p);
    out.outline = out.pen;
    return true;
}

bool gdi_arc_pixels(const QRect& box, QPoint start, QPoint end, CurveKind kind, CurvePixels& out)
{
    out = {};
    if (!handled(box)) return false;
    const std::vector<RingPixel> r = ring(box);
    const std::size_t n = r.size();
    if (n == 0) return true;
    const std::size_t gs = arc_end(r, box, start), ge = arc_end(r, box, end);
    // the arc runs from the pixel after the start's to the end's; Arc leaves the last out
    std::vector<QPoint> chain;
    for (std::size_t i = (gs + 1) % n;; i = (i + 1) % n) {
        chain.push_back(r[i].p);
        if (i == ge) break;
    }
    if (kind == CurveKind::Arc) {
        chain.pop_back();
        out.pen = std::move(chain);
        return true;
    }
    // the closing lines continue from the arc's end, so that dashes run on into them
    std::vector<QPoint> pen = chain;
    out.outline = chain;
    out.nullPenFillsPen = false;
    if (kind == CurveKind::Pie) {
        const QPoint c = box_centre(box);
        tie_low_line(chain.back(), c, pen);
        tie_low_line(c, chain.front(), pen);
        out.outline.push_back(c);
    } else {
        tie_low_line(chain.back(), chain.front(), pen);
    }
    out.pen = unique_in_order(pen);
    return true;
}

bool gdi_roundrect_pixels(const QRect& box, QSize corner, CurvePixels& out)
{
    out = {};
    if (!handled(box) || corner.width() <= 0 || corner.height() <= 0) return false;
    const int ew = std::min(corner.width(), box.width()), eh = std::min(corner.height(), box.height());
    const std::vector<QPoint> q = quadrant(ew, eh, Walk::FromTop);
    const Frame fr{box.left(), box.top(), ew, eh};
    const int sx = box.width() - ew, sy = box.height() - eh;   // shifts of the right and lower corners
    // the corner ellipse's four quadrants (each whole) moved to the four corners
    std::vector<QPoint> pts;
    pts.reserve(q.size() * 4);
    for (auto it = q.rbegin(); it != q.rend(); ++it) pts.emplace_back(fr.x(it->x()) + sx, fr.y(it->y()));
    for (const QPoint& v : q) pts.emplace_back(fr.x(-v.x()), fr.y(v.y()));
    for (auto it = q.rbegin(); it != q.rend(); ++it) pts.emplace_back(fr.x(-it->x()), fr.y(-it->y()) + sy);
    for (const QPoint& v : q) pts.emplace_back(fr.x(v.x()) + sx, fr.y(-v.y()) + sy);
    std::vector<QPoint> pen;
    for (std::size_t i = 0; i < pts.size(); ++i) tie_low_line(pts[i], pts[(i + 1) % pts.size()], pen);
    out.pen = unique_in_order(pen);
    out.outline = std::move(pts);
    return true;
}

void gdi_curve_widen(CurvePixels& c, int width)
{
    if (width <= 1) return;
    // offsets lo..hi about the pixel; within the disc when (2d - lo - hi)² sums to at most width²
    const int lo = -(width / 2), hi = lo + width - 1;
    std::vector<QPoint> disc;
    for (int dy = lo; dy <= hi; ++dy)
        for (int dx = lo; dx <= hi; ++dx) {
            const int u = 2 * dx - lo - hi, v = 2 * dy - lo - hi;
            if (u * u + v * v <= width * width) disc.emplace_back(dx, dy);
        }
    std::vector<QPoint> wide;
    wide.reserve(c.pen.size() * disc.size());
    for (const QPoint& p : c.pen)
        for (const QPoint& d : disc) wide.push_back(p + d);
    c.pen = unique_in_order(wide);
}

namespace gdi_curve_detail {
void build_rows(const CurvePixels& c, int top, int bottom, Rows& rows)
{
    rows = {};
    if (bottom < top) return;
    rows.top = top;
    const std::size_t n = std::size_t(bottom - top) + 1;
    rows.cross.assign(n, {});
    rows.pen.assign(n, {});
    const auto& poly = c.outline;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const QPoint a = poly[i], b = poly[(i + 1) % poly.size()];
        if (a.y() == b.y()) continue;
        // rows y with min <= y < max cross this edge at x0 + (y - y0)(x1 - x0)/(y1 - y0);
        // pixel x lies left of the crossing when x < x0 + ceil((y - y0)(x1 - x0)/(y1 - y0))
        const int y0 = std::max(std::min(a.y(), b.y()), top), y1 = std::min(std::max(a.y(), b.y()) - 1, bottom);
        for (int y = y0; y <= y1; ++y) {
            i64 num = i64(y - a.y()) * (b.x() - a.x()), den = b.y() - a.y();
            if (den < 0) num = -num, den = -den;
            rows.cross[std::size_t(y - top)].push_back(int(a.x() + ceil_div(num, den)));
        }
    }
    for (auto& cr : rows.cross) std::sort(cr.begin(), cr.end());
    for (const QPoint& p : c.pen)
        if (p.y() >= top && p.y() <= bottom) rows.pen[std::size_t(p.y() - top)].push_back(p.x());
    for (auto& pr : rows.pen) std::sort(pr.begin(), pr.end());
}
}  // namespace gdi_curve_detail
