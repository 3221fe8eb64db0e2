// Speed and size of the LZH writer: one 50 MB file, half generated text (words of
// a Zipf-like vocabulary in lines), half binary (the shared libraries of this
// machine, concatenated), written into an LZH archive by lzh_update; beside it,
// in the same run, `gzip -6` on the same file. Counters: packed bytes (`packed`)
// and packed / input (`ratio`). Run with --benchmark_repetitions=3.
#include "plugins/unlha32/lzh_archive_writer.h"

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kHalf = 25u * 1000 * 1000;

std::string dir()
{
    return "/tmp/ostrel_lzh_bench_" + std::to_string(getpid());
}

std::string input()
{
    static const std::string path = [] {
        mkdir(dir().c_str(), 0755);
        const std::string p = dir() + "/data";
        std::string data;
        data.reserve(2 * kHalf);
        std::mt19937 rng(7);
        std::vector<std::string> words;
        for (int i = 0; i < 4000; ++i) {
            std::string w;
            const int len = 2 + static_cast<int>(rng() % 9);
            for (int k = 0; k < len; ++k)
                w += static_cast<char>('a' + rng() % 26);
            words.push_back(w);
        }
        std::uniform_real_distribution<double> u(0, 1);
        int column = 0;
        while (data.size() < kHalf) {
            const std::size_t i = static_cast<std::size_t>(std::pow(u(rng), 3.0) * words.size());
            data += words[std::min(i, words.size() - 1)];
            column += 1;
            data += (column % 12 == 0) ? ".\n" : " ";
        }
        data.resize(kHalf);
        const char* libdir = "/usr/lib/x86_64-linux-gnu";
        std::vector<std::string> names;
        if (DIR* d = opendir(libdir)) {
            while (dirent* e = readdir(d))
                if (std::string(e->d_name).find(".so") != std::string::npos)
                    names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        for (const auto& n : names) {
            if (data.size() >= 2 * kHalf)
                break;
            std::FILE* f = std::fopen((std::string(libdir) + "/" + n).c_str(), "rb");
            if (!f)
                continue;
            char buf[1 << 16];
            std::size_t got;
            while (data.size() < 2 * kHalf && (got = std::fread(buf, 1, sizeof buf, f)) > 0)
                data.append(buf, std::min(got, 2 * kHalf - data.size()));
            std::fclose(f);
        }
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        return p;
    }();
    return path;
}

long long size_of(const std::string& p)
{
    struct stat st{};
    return ::stat(p.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

void report(benchmark::State& state, const std::string& in, const std::string& out)
{
    state.counters["packed"] = static_cast<double>(size_of(out));
    state.counters["ratio"] = static_cast<double>(size_of(out)) / static_cast<double>(size_of(in));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size_of(in));
}

void BM_LzhWriter(benchmark::State& state)
{
    const std::string in = input();
    const std::string out = dir() + "/data.lzh";
    for (auto _ : state) {
        std::remove(out.c_str());
        ostrel::lzh::LzhMemberSource m;
        m.name = "data";
        m.open = [&] {
            auto f = std::shared_ptr<std::FILE>(std::fopen(in.c_str(), "rb"), [](std::FILE* p) {
                if (p)
                    std::fclose(p);
            });
            return ostrel::lzh::ByteSource([f](std::uint8_t* b, std::size_t n) {
                return static_cast<long long>(std::fread(b, 1, n, f.get()));
            });
        };
        std::string error;
        if (!ostrel::lzh::lzh_update(out, {m}, nullptr, error))
            state.SkipWithError(error.c_str());
    }
    report(state, in, out);
}

void BM_Gzip6Command(benchmark::State& state)
{
    const std::string in = input();
    const std::string out = dir() + "/data.gz";
    const std::string command = "gzip -6 -c '" + in + "' > '" + out + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("gzip failed");
    report(state, in, out);
}

BENCHMARK(BM_LzhWriter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gzip6Command)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf '" + dir() + "'").c_str());
    return 0;
}
