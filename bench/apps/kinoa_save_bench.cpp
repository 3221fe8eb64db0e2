// save_all_frames of 1,000 frames on a 720 x 480 page (draw, copy into the
// export page, write a 24-bit BMP file each), against writing the same number
// of bytes into the same number of files with plain fwrite (the I/O floor).
#include "app_bench.h"
#include "app_io.h"
#include "frame_cursor.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <ostrel/sysutil.h>
#include <ostrel.h>
// This program has its own process entry: the benchmark runner, not the runtime's.
#undef main

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kFrames = 1000;
std::string dir;

void write_frames(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    for (int i = 0; i < kFrames; ++i) {
        double a = i * 0.26;
        int x = 100 + i % 500;
        std::fprintf(f, "%d,400 %d,330 %d,260 %d,330 %d,400 %d,330 %d,260 %d,170 %d,230 %d,170 %d,230\n",
                     x - int(30 * std::sin(a)), x - int(15 * std::sin(a)), x, x + int(15 * std::sin(a)),
                     x + int(30 * std::sin(a)), x + int(15 * std::sin(a)), x, x + 5, x - int(25 * std::cos(a)),
                     x + 5, x + int(25 * std::cos(a)));
    }
    std::fclose(f);
}

void BM_SaveAllFrames(benchmark::State& state)
{
    ViewerSettings settings("/nonexistent/Kinoa.ini");
    StickData data(settings);
    FrameCursor cursor;
    const std::string path = dir + "/walk.txt";
    write_frames(path);
    if (!data.load_frames(path.c_str()))
        state.SkipWithError("load failed");
    kinoa::bind(&settings, &data, &cursor);
    split_path(path.c_str(), kinoa::path_parts());
    _newpage(1, "Kinoascope", 0, 0, settings.window_w, settings.window_h, 0, 0);
    _newmempage(settings.window_w, settings.window_h, kinoa::EXPORT_PAGE);
    for (auto _ : state) {
        if (!kinoa::save_all_frames(cursor))
            state.SkipWithError("save failed");
    }
    state.counters["files"] = kFrames;
    state.counters["bytes_per_file"] = double(std::filesystem::file_size(dir + "/walk0000.BMP"));
}
BENCHMARK(BM_SaveAllFrames)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_FwriteFloor(benchmark::State& state)
{
    // The size of one exported frame: 719 x 479 pixels, rows of 2157 bytes
    // padded to 2160, behind the 54-byte headers.
    const size_t size = 54 + size_t(2160) * 479;
    std::vector<char> block(size, 'x');
    for (auto _ : state) {
        for (int n = 0; n < kFrames; ++n) {
            char name[64];
            std::snprintf(name, sizeof name, "/floor%04d.BMP", n);
            std::FILE* f = std::fopen((dir + name).c_str(), "wb");
            std::fwrite(block.data(), 1, size, f);
            std::fclose(f);
        }
    }
}
BENCHMARK(BM_FwriteFloor)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    app_bench_main(argc, argv, "kinoa", &dir, nullptr);
}
