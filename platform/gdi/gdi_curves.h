// The pixels of ellipses, arcs, pies, chords and rounded rectangles as GDI
// rasterises them: an integer walk around the ellipse inscribed in the box (right
// and bottom edges excluded), arcs cut out of that walk between the radials,
// closing lines with their ties on the smaller coordinate, the fill inside the
// outline, and wider pens as a disc stamped along the walk. Geometry only: the
// raster code paints the result with the DC's pen and brush.
#pragma once
#include <QPoint>
#include <QRect>

#include <vector>

struct CurvePixels {
    std::vector<QPoint> pen;       // pen pixels, each once, in drawing order
    std::vector<QPoint> outline;   // closed polygon whose inside the brush fills
    // Without a pen the brush covers the pen pixels too (ellipses, round
    // rectangles), or else just the inside of the outline (pies, chords).
    bool nullPenFillsPen = true;
};

enum class CurveKind { Arc, Pie, Chord };

// Boxes are device rectangles (QRect, so right() and bottom() are the last pixel
// the shape may touch). Sides above gdi_curve_max_side are not handled (false).
constexpr int gdi_curve_max_side = 32768;
bool gdi_ellipse_pixels(const QRect& box, CurvePixels& out);
// start and end are device points on the radials of the arc's two ends.
bool gdi_arc_pixels(const QRect& box, QPoint start, QPoint end, CurveKind kind, CurvePixels& out);
// corner: the width and height of the corner ellipse in device pixels (> 0).
bool gdi_roundrect_pixels(const QRect& box, QSize corner, CurvePixels& out);

// Widens the pen pixels to a pen `width` pixels wide (up to gdi_curve_max_pen):
// every pixel stamps a disc of that diameter, offset up and left for even widths.
constexpr int gdi_curve_max_pen = 16;
void gdi_curve_widen(CurvePixels& c, int width);

// Calls span(y, x0, x1) for every run of pixels strictly inside `outline` that
// is not a pen pixel, row by row within rows [top, bottom].
template <class Span>
void gdi_curve_fill(const CurvePixels& c, int top, int bottom, Span&& span);

// ---- implementation of the template ----
namespace gdi_curve_detail {
// Per row: sorted crossings of the outline (pixels x with c[2j] <= x < c[2j+1]
// are inside) and the sorted pen pixels of that row.
struct Rows {
    int top = 0;
    std::vector<std::vector<int>> cross, pen;
};
void build_rows(const CurvePixels& c, int top, int bottom, Rows& rows);
}  // namespace gdi_curve_detail

template <class Span>
void gdi_curve_fill(const CurvePixels& c, int top, int bottom, Span&& span)
{
    gdi_curve_detail::Rows rows;
    gdi_curve_detail::build_rows(c, top, bottom, rows);
    for (std::size_t i = 0; i < rows.cross.size(); ++i) {
        const int y = rows.top + int(i);
        const auto& cr = rows.cross[i];
        const auto& pen = rows.pen[i];
        std::size_t k = 0;
        for (std::size_t j = 0; j + 1 < cr.size(); j += 2) {
            int x = cr[j];
            const int end = cr[j + 1];   // exclusive
            while (x < end) {
                while (k < pen.size() && pen[k] < x) ++k;
                if (k < pen.size() && pen[k] == x) {
                    ++x;
                    continue;
                }
                int stop = k < pen.size() ? std::min(end, pen[k]) : end;
                span(y, x, stop - 1);
                x = stop;
            }
        }
    }
}
