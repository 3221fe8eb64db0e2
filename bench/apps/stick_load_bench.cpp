// Loading a stick data file of 100,000 frames (about 10 MB) with load_frames,
// against reading the same file line by line with fgets alone (the I/O floor).
#include "app_bench.h"
#include "app_io.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const std::string& stick_file()
{
    static const std::string path = [] {
        std::string p = "/tmp/ostrel-bench-stick-" + std::to_string(getpid()) + ".txt";
        std::FILE* f = std::fopen(p.c_str(), "w");
        // A figure of eight joints per frame: about 100 bytes a line.
        for (int i = 0; i < 100000; ++i)
            std::fprintf(f, "%d.50,%d.25 %d.75,%d.5 %d.125,%d.0 %d.5,%d.75 %d.25,%d.5 %d.0,%d.25 %d.5,%d.5 %d.75,%d.0\n",
                         i % 500, i % 300, i % 400 + 10, i % 200 + 5, i % 333, i % 222, i % 111, i % 444,
                         i % 97, i % 89, i % 83, i % 79, i % 73, i % 71, i % 67, i % 61);
        std::fclose(f);
        return p;
    }();
    return path;
}

void BM_FgetsFloor(benchmark::State& state)
{
    const std::string& path = stick_file();
    char line[256];
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "r");
        long lines = 0;
        while (std::fgets(line, sizeof line, f))
            ++lines;
        std::fclose(f);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_FgetsFloor)->Unit(benchmark::kMillisecond);

void BM_LoadFrames(benchmark::State& state)
{
    const std::string& path = stick_file();
    app_bench_silence('\n');
    ViewerSettings settings("/nonexistent/Kinoa.ini");
    for (auto _ : state) {
        StickData data(settings);
        bool ok = data.load_frames(path.c_str());
        if (!ok || data.frame_count != 100000)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(data.frame_count);
    }
}
BENCHMARK(BM_LoadFrames)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unlink(stick_file().c_str());
    return 0;
}
