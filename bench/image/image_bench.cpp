// Speed of the bitmap transforms and the BMP writer, each beside its baseline in the
// same run: memcpy of the source bytes (the memory floor), QImage::scaled with smooth
// transformation and QImage::transformed (the toolkit's peers), one fwrite of the
// file's bytes. Throughput is reported as bytes of source read per second.
// The transforms are measured as a program repeating them runs them (the result of the
// last round released before the next), and the rotation also as a first call, whose
// result's pages are all new to the process, and on one thread. Large rotations run on
// several threads, so every rotation is timed on the wall clock.
#include "ostrel/bmap.h"
#include "runtime/image/bmap_rotate.h"
#include "runtime/image/image_threads.h"
#include "runtime/image/pixel_store.h"

#include <QImage>
#include <QTransform>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int W = 6000, H = 4000;

_bmap& source()
{
    static _bmap* bm = [] {
        auto* b = new _bmap(W, H, 24);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W * 3; ++x)
                b->bits[static_cast<std::size_t>(y) * b->stride + x] = static_cast<unsigned char>((x * 7 + y * 13) ^ (x >> 5));
        return b;
    }();
    return *bm;
}

QImage& qsource()
{
    static QImage img = [] {
        QImage q(source().bits, W, H, source().stride, QImage::Format_BGR888);
        return q.copy();
    }();
    return img;
}

std::int64_t source_bytes()
{
    return static_cast<std::int64_t>(source().stride) * H;
}

void BM_memcpy(benchmark::State& st)
{
    std::vector<unsigned char> dst(static_cast<std::size_t>(source_bytes()));
    for (auto _ : st) {
        std::memcpy(dst.data(), source().bits, dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(st.iterations() * source_bytes());
}

// The floor of a first call: memcpy into a block new to the process, with the same
// huge-page advice a large result gets, freed after each round.
void BM_memcpy_new_block(benchmark::State& st)
{
    for (auto _ : st) {
        unsigned char* dst = image_rows_for_overwrite(static_cast<std::size_t>(source_bytes()));
        std::memcpy(dst, source().bits, static_cast<std::size_t>(source_bytes()));
        benchmark::DoNotOptimize(dst);
        benchmark::ClobberMemory();
        image_rows_release(dst);
        image_rows_drop_kept();
    }
    st.SetBytesProcessed(st.iterations() * source_bytes());
}

template <class F>
void run(benchmark::State& st, F f)
{
    for (auto _ : st) {
        std::unique_ptr<_bmap> r(f());
        benchmark::DoNotOptimize(r.get());
    }
    st.SetBytesProcessed(st.iterations() * source_bytes());
}

void BM_shrink_box_025(benchmark::State& st) { run(st, [] { return _bmap_shrink_box(&source(), 4, 0); }); }
void BM_shrink_area_03(benchmark::State& st) { run(st, [] { return _bmap_shrink(&source(), 0.3, 0.0, 0); }); }
void BM_shrink_bilinear_075(benchmark::State& st) { run(st, [] { return _bmap_shrink(&source(), 0.75, 0.0, 0); }); }

// The same on one thread: what the threads add
template <class F>
void one_thread(benchmark::State& st, F f)
{
    image_force_threads(1);
    run(st, f);
    image_force_threads(0);
}
void BM_shrink_box_025_one_thread(benchmark::State& st) { one_thread(st, [] { return _bmap_shrink_box(&source(), 4, 0); }); }
void BM_shrink_area_03_one_thread(benchmark::State& st) { one_thread(st, [] { return _bmap_shrink(&source(), 0.3, 0.0, 0); }); }
void BM_shrink_bilinear_075_one_thread(benchmark::State& st) { one_thread(st, [] { return _bmap_shrink(&source(), 0.75, 0.0, 0); }); }
void BM_rotate_90(benchmark::State& st) { run(st, [] { return _bmap_rotate(&source(), 90); }); }
void first_call(benchmark::State& st, int threads)
{
    for (auto _ : st) {
        image_rows_drop_kept();
        std::unique_ptr<_bmap> r(image_rotate_with(&source(), 90, true, threads));
        benchmark::DoNotOptimize(r.get());
    }
    image_rows_drop_kept();
    st.SetBytesProcessed(st.iterations() * source_bytes());
}
void BM_rotate_90_first_call(benchmark::State& st) { first_call(st, 0); }
void BM_rotate_90_first_call_one_thread(benchmark::State& st) { first_call(st, 1); }
void BM_rotate_90_one_thread(benchmark::State& st) { run(st, [] { return image_rotate_with(&source(), 90, true, 1); }); }
void BM_rotate_180(benchmark::State& st) { run(st, [] { return _bmap_rotate(&source(), 180); }); }
void BM_rotate_180_one_thread(benchmark::State& st) { run(st, [] { return image_rotate_with(&source(), 180, true, 1); }); }

void qt_scaled(benchmark::State& st, double s)
{
    for (auto _ : st) {
        QImage r = qsource().scaled(int(W * s), int(H * s), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(r.constBits());
    }
    st.SetBytesProcessed(st.iterations() * source_bytes());
}
void BM_qt_scaled_025(benchmark::State& st) { qt_scaled(st, 0.25); }
void BM_qt_scaled_03(benchmark::State& st) { qt_scaled(st, 0.3); }
void BM_qt_scaled_075(benchmark::State& st) { qt_scaled(st, 0.75); }
void BM_qt_transformed_90(benchmark::State& st)
{
    for (auto _ : st) {
        QImage r = qsource().transformed(QTransform().rotate(90));
        benchmark::DoNotOptimize(r.constBits());
    }
    st.SetBytesProcessed(st.iterations() * source_bytes());
}

std::string temp_name(const char* tag)
{
    return "/tmp/ostrel-bench-" + std::to_string(getpid()) + "-" + tag + ".bmp";
}

void BM_savebmp(benchmark::State& st)
{
    const std::string name = temp_name("save");
    for (auto _ : st) {
        if (!_bmap_savebmp(name.c_str(), &source()))
            st.SkipWithError("write failed");
    }
    std::remove(name.c_str());
    st.SetBytesProcessed(st.iterations() * (source_bytes() + 54));
}

void BM_fwrite(benchmark::State& st)
{
    const std::string name = temp_name("fwrite");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(source_bytes()) + 54);
    std::memcpy(bytes.data() + 54, source().bits, static_cast<std::size_t>(source_bytes()));
    for (auto _ : st) {
        FILE* f = std::fopen(name.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
            st.SkipWithError("write failed");
        if (f)
            std::fclose(f);
    }
    std::remove(name.c_str());
    st.SetBytesProcessed(st.iterations() * static_cast<std::int64_t>(bytes.size()));
}

} // namespace

BENCHMARK(BM_memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_memcpy_new_block)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_shrink_box_025)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_shrink_box_025_one_thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_qt_scaled_025)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_shrink_area_03)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_shrink_area_03_one_thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_qt_scaled_03)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_shrink_bilinear_075)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_shrink_bilinear_075_one_thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_qt_scaled_075)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_rotate_90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_rotate_90_one_thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_rotate_90_first_call)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_rotate_90_first_call_one_thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_qt_transformed_90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_rotate_180)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_rotate_180_one_thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_fwrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_savebmp)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
