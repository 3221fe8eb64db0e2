// Repaint of a page that holds a 6000 x 4000 24-bit image put with _putbmap and
// 100 markers (circle and cross), as the measuring program builds it: the time
// to repaint a 1920 x 1080 visible area, at the top-left and scrolled to the
// bottom-right. Goal: under 16 ms. The baseline is
// QPainter copying the same visible area of an already converted image.
#include "ostrel/bmap.h"
#include "ostrel/console.h"
#include "ostrel/draw.h"
#include "ostrel/pages.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "runtime/console/console_internal.h"
#include "runtime/pages/draw/draw_internal.h"
#include "runtime/pages/page_record.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>

namespace {
constexpr int kImgW = 6000, kImgH = 4000, kViewW = 1920, kViewH = 1080;

_page* big_page()
{
    static _page* pg = [] {
        _consolestartup("");
        _newpage(1, "bench", 0, 0, -kViewW, -kViewH, 4 * 0 + 1, 0);   // hidden
        _setpage(1, 0);
        auto* b = new _bmap(kImgW, kImgH, 24);
        for (int y = 0; y < kImgH; ++y)
            for (int x = 0; x < kImgW; ++x) {
                unsigned char* p = b->bits + std::size_t(y) * std::size_t(b->stride) + 3 * std::size_t(x);
                p[0] = static_cast<unsigned char>(x);
                p[1] = static_cast<unsigned char>(y);
                p[2] = static_cast<unsigned char>(x ^ y);
            }
        _putbmap(0, 0, b, 0xCC0020, 1.0);
        for (int i = 0; i < 100; ++i) {
            double x = 100 + (i % 10) * 170, y = 100 + (i / 10) * 90;
            _setcolor(i % 2 ? 0xFFFFFF : 0);
            _frameellipse(x - 5, y - 5, x + 5, y + 5);
            _moveto(x, y - 10);
            _lineto(x, y + 10);
            _moveto(x - 10, y);
            _lineto(x + 10, y);
        }
        _setpage(1, 0);
        delete b;
        return _pagerecord(1);
    }();
    return pg;
}

void BM_RepaintLargeImagePage(benchmark::State& state)
{
    _page* pg = big_page();
    QImage view(kViewW, kViewH, QImage::Format_RGB32);
    HDC dc = gdi_create_image_dc(&view, nullptr);
    RECT all{0, 0, kViewW, kViewH};
    _paintpage(pg, dc, &all);   // a first repaint, outside the timing
    for (auto _ : state) {
        _paintpage(pg, dc, &all);
        benchmark::DoNotOptimize(view.constBits());
    }
    gdi_destroy_image_dc(dc);
}
BENCHMARK(BM_RepaintLargeImagePage)->Unit(benchmark::kMillisecond);

void BM_RepaintScrolledMarkerRegion(benchmark::State& state)
{
    // a click: the update region is the marker's box only
    _page* pg = big_page();
    QImage view(kViewW, kViewH, QImage::Format_RGB32);
    HDC dc = gdi_create_image_dc(&view, nullptr);
    RECT box{90, 90, 111, 111};
    for (auto _ : state) {
        _paintpage(pg, dc, &box);
        benchmark::DoNotOptimize(view.constBits());
    }
    gdi_destroy_image_dc(dc);
}
BENCHMARK(BM_RepaintScrolledMarkerRegion)->Unit(benchmark::kMicrosecond);

void BM_RepaintScrolledScreen(benchmark::State& state)
{
    // the view scrolled by one screen and more: the window's back buffer has the
    // page's full size and the newly shown screen at the bottom-right is repainted
    _page* pg = big_page();
    QImage surface(kImgW, kImgH, QImage::Format_RGB32);
    HDC dc = gdi_create_image_dc(&surface, nullptr);
    RECT screen{kImgW - kViewW, kImgH - kViewH, kImgW, kImgH};
    for (auto _ : state) {
        _paintpage(pg, dc, &screen);
        benchmark::DoNotOptimize(surface.constBits());
    }
    gdi_destroy_image_dc(dc);
}
BENCHMARK(BM_RepaintScrolledScreen)->Unit(benchmark::kMillisecond);

void BM_QPainterVisibleArea_Baseline(benchmark::State& state)
{
    QImage src(kImgW, kImgH, QImage::Format_RGB32);
    src.fill(Qt::gray);
    QImage view(kViewW, kViewH, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&view);
        p.drawImage(QPoint(0, 0), src, QRect(0, 0, kViewW, kViewH));
        p.end();
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(BM_QPainterVisibleArea_Baseline)->Unit(benchmark::kMillisecond);
}  // namespace
