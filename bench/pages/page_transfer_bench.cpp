// Moving a 6000 x 4000 24-bit picture into an off-screen page (_bmap_to_page)
// and back out (_page_to_bmap), in MB/s of the picture's bytes, against a
// memcpy of the same bytes (the memory floor) and against the toolkit's own
// 24-to-32-bit conversion of the same rows (QImage::convertToFormat, the peer).
#include "ostrel/bmap.h"
#include "ostrel/pages.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int W = 6000, H = 4000;

_bmap* picture()
{
    static _bmap* bm = [] {
        _bmap* b = new _bmap(W, H, 24);
        for (int i = 0; i < b->size; ++i)
            b->bits[i] = static_cast<unsigned char>(i * 7 + (i >> 11));
        return b;
    }();
    return bm;
}

void Memcpy(benchmark::State& state)
{
    _bmap* bm = picture();
    std::vector<unsigned char> out(size_t(bm->size));
    for (auto _ : state) {
        std::memcpy(out.data(), bm->bits, out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bm->size);
}

void QtConvert(benchmark::State& state)
{
    _bmap* bm = picture();
    QImage src(bm->bits, W, H, bm->stride, QImage::Format_BGR888);
    for (auto _ : state) {
        QImage dst = src.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(dst.constBits());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bm->size);
}

void BmapToPage(benchmark::State& state)
{
    _bmap* bm = picture();
    for (auto _ : state) {
        int rows = _bmap_to_page(bm, 10, 0, 0);
        if (rows != H)
            state.SkipWithError("rows not set");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bm->size);
    _delpage(10);
}

void PageToBmap(benchmark::State& state)
{
    _bmap* bm = picture();
    _bmap_to_page(bm, 11, 0, 0);
    for (auto _ : state) {
        _bmap* out = _page_to_bmap(11);
        if (!out)
            state.SkipWithError("no bitmap");
        delete out;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bm->size);
    _delpage(11);
}

void ClearPage(benchmark::State& state)
{
    _newmempage(W, H, 12);
    for (auto _ : state)
        _newmempage(W, H, 12);   // the same size: cleared with its colour
    state.SetBytesProcessed(int64_t(state.iterations()) * picture()->size);
    _delpage(12);
}

} // namespace

BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(QtConvert)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmapToPage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PageToBmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ClearPage)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
