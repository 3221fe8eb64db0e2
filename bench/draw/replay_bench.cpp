// Replay of a recording of 100,000 line segments onto a 1920 x 1080 image at
// twenty units per pixel, against the baseline: QPainter drawing the same
// segments directly (one-pixel pen, no anti-aliasing). Goal: within 1.5x.
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {
constexpr int kW = 1920, kH = 1080, kSegments = 100000;

struct Segment {
    int x0, y0, x1, y1;   // pixels
};

const std::vector<Segment>& segments()
{
    static std::vector<Segment> s = [] {
        std::mt19937 rng(42);
        std::vector<Segment> v;
        v.reserve(kSegments);
        // marker-sized strokes and a share of long ones, as drawings have
        for (int i = 0; i < kSegments; ++i) {
            int x = int(rng() % kW), y = int(rng() % kH);
            int len = i % 10 == 0 ? 400 : 20;
            int dx = int(rng() % (2 * len + 1)) - len, dy = int(rng() % (2 * len + 1)) - len;
            v.push_back({x, y, x + dx, y + dy});
        }
        return v;
    }();
    return s;
}

HMETAFILE recording()
{
    static HMETAFILE mf = [] {
        HDC rec = CreateMetaFileA(nullptr);
        HPEN pen = CreatePen(PS_SOLID, 4, 0x0000FF);
        SelectObject(rec, pen);
        for (const Segment& s : segments()) {
            MoveToEx(rec, s.x0 * 20, s.y0 * 20, nullptr);
            LineTo(rec, s.x1 * 20, s.y1 * 20);
        }
        HMETAFILE m = CloseMetaFile(rec);
        DeleteObject(pen);
        return m;
    }();
    return mf;
}

void BM_ReplaySegments(benchmark::State& state)
{
    QImage img(kW, kH, QImage::Format_RGB32);
    HMETAFILE mf = recording();
    HDC dc = gdi_create_image_dc(&img, nullptr);
    for (auto _ : state) {
        img.fill(Qt::white);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, kW * 20, kH * 20, nullptr);
        SetViewportExtEx(dc, kW, kH, nullptr);
        PlayMetaFile(dc, mf);
        benchmark::DoNotOptimize(img.constBits());
    }
    gdi_destroy_image_dc(dc);
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_ReplaySegments)->Unit(benchmark::kMillisecond);

void BM_QPainterSegments_Baseline(benchmark::State& state)
{
    QImage img(kW, kH, QImage::Format_RGB32);
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(255, 0, 0), 0));
        for (const Segment& s : segments()) p.drawLine(s.x0, s.y0, s.x1, s.y1);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_QPainterSegments_Baseline)->Unit(benchmark::kMillisecond);
}  // namespace
