// Speed of the shipped archivers beside the tools a user would run instead, on
// one tree of 1,000 files (50 MB of text and binary runs, in 20 directories)
// in the same run: extracting its ZIP through the bridge against `bsdtar -xf`,
// and creating its gzip-TAR against `tar -czf`. The files live in
// $OSTREL_BENCH_DIR (else the temporary directory); wall-clock time, rounds
// alternating (bench/sysutil/paired_run.h).
#include "ostrel/sysutil.h"
#include "bench/sysutil/paired_run.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace {

using paired_run::paired;
using paired_run::remove_quietly;
using paired_run::run;

std::string at(const char* rel) { return paired_run::base_dir() + "/" + rel; }

// 50 KiB of words with runs of noise: compresses about as well as source code.
void write_file(const std::string& path, unsigned seed)
{
    static const char* words[] = {"archive ", "ostrel ", "page ", "bitmap ", "\n", "0x7f3a ", "zlib "};
    std::string s;
    unsigned x = seed * 2654435761u + 1;
    while (s.size() < 51200) {
        x = x * 1664525u + 1013904223u;
        if ((x >> 28) == 0)
            for (int k = 0; k < 16; ++k, x = x * 1664525u + 1013904223u)
                s += static_cast<char>(x >> 24);
        else
            s += words[(x >> 16) % 7];
    }
    s.resize(51200);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(s.data(), 1, s.size(), f) != s.size())
        std::abort();
    std::fclose(f);
}

void make_tree()
{
    mkdir(at("src").c_str(), 0755);
    for (int d = 0; d < 20; ++d) {
        const std::string dir = at("src") + "/dir" + std::to_string(d);
        mkdir(dir.c_str(), 0755);
        for (int f = 0; f < 50; ++f)
            write_file(dir + "/file" + std::to_string(f) + ".txt", static_cast<unsigned>(d * 50 + f));
    }
}

void BM_ExtractZip_vs_Bsdtar(benchmark::State& state)
{
    const std::string zip = at("tree.zip"), out = at("out");
    Archiver* a = archiver_for(zip.c_str());
    if (!a || !a->can_create() || a->add(zip.c_str(), at("src").c_str()) != 1) {
        state.SkipWithError("no ZIP components");
        return;
    }
    paired(
        state, [&] { mkdir(out.c_str(), 0755); },
        [&] { return a->extract_all(zip.c_str(), out.c_str()) == 1; },
        [&] { return run({"bsdtar", "-xf", zip, "-C", out}) == 0; }, [&] { remove_quietly(out); });
    state.SetBytesProcessed(state.iterations() * 1000 * 51200);
}
BENCHMARK(BM_ExtractZip_vs_Bsdtar)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

void BM_CreateTgz_vs_TarCzf(benchmark::State& state)
{
    const std::string tgz = at("tree.tgz"), src = at("src");
    Archiver* a = archiver_for(tgz.c_str());
    if (!a) {
        state.SkipWithError("no TAR component");
        return;
    }
    paired(
        state, [] {}, [&] { return a->add(tgz.c_str(), src.c_str()) == 1; },
        [&] { return run({"tar", "-czf", tgz, "-C", src, "."}) == 0; }, [&] { unlink(tgz.c_str()); });
    state.SetBytesProcessed(state.iterations() * 1000 * 51200);
}
BENCHMARK(BM_CreateTgz_vs_TarCzf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    const char* dir = std::getenv("OSTREL_BENCH_DIR");
    std::string tmpl = std::string(dir ? dir : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp")) +
                       "/ostrel-archive-bench-XXXXXX";
    if (!mkdtemp(tmpl.data()))
        return 1;
    paired_run::base_dir() = tmpl;
    setenv("OSTREL_COMPONENT_DIR", OSTREL_BENCH_COMPONENT_DIR, 0);
    make_tree();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove_quietly(tmpl);
    return 0;
}
