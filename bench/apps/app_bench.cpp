// The shared entry of the program benchmarks.
#include "app_bench.h"
#include "app_io.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {
int waited_key = EOF;
}

void app_bench_silence(int key)
{
    waited_key = key;
    AppIo io;
    io.print = [](const char*) {};
    io.info = [](const char*, const char*) { return 1; };
    io.yesno = [](const char*, const char*) { return 1; };
    io.getkey = []() { return waited_key; };
    io.quit = [](int) {};
    app_io_set(io);
}

void app_bench_main(int argc, char** argv, const char* tag, std::string* dir, bool (*set_up)())
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string tmpl = std::string("/tmp/ostrel-bench-") + tag + "-XXXXXX";
    if (!mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        _exit(1);
    }
    *dir = tmpl;
    app_bench_silence(EOF);
    if (set_up && !set_up()) {
        std::fprintf(stderr, "set-up failed\n");
        _exit(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(*dir, ec);
    std::fflush(stdout);
    _exit(0);
}
