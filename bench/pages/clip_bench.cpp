// Putting a 6000 x 4000 24-bit bitmap object on the clipboard (_copybmapdib:
// a new block, the rows turned bottom-up, the clipboard calls) against one
// memcpy of its pixels into a fresh block (the floor of any copy that hands a
// new block over). The desktop forms are made only when a reader asks, so they
// are not part of the call.
#include "ostrel/bmap.h"
#include "ostrel/clipboard.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

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

void MemcpyFreshBlock(benchmark::State& state)
{
    _bmap* bm = picture();
    const std::size_t n = static_cast<std::size_t>(bm->size);
    for (auto _ : state) {
        auto* block = static_cast<unsigned char*>(std::malloc(n + 40));
        std::memcpy(block + 40, bm->bits, n);
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        std::free(block);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bm->size);
}

void CopyBmapDib(benchmark::State& state)
{
    _bmap* bm = picture();
    for (auto _ : state) {
        // the previous block is freed here, when the clipboard's data is replaced
        if (!_copybmapdib(bm))
            state.SkipWithError("_copybmapdib failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bm->size);
}

} // namespace

BENCHMARK(MemcpyFreshBlock)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyBmapDib)->Unit(benchmark::kMillisecond)->UseRealTime();

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
