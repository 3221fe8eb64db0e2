// Speed of the tree operations beside the tools a user would run instead, each
// started as a child process on the same tree in the same run: copy_tree of
// 10,000 files of 4 KiB in 100 directories against `cp -a`, remove_tree against
// `rm -rf`, count_files_tree against `find -type f | wc -l`, copy_path of one
// 1 GiB file against `cp`. The trees live in $OSTREL_BENCH_DIR (else the
// temporary directory); everything is timed on the wall clock, since the work
// is the kernel's and, for the tools, a child's. Each benchmark runs ours and
// the tool in alternating rounds and reports the tool's time and the ratio
// (ours / tool) as counters: on a shared machine only side-by-side rounds
// compare fairly.
#include "ostrel/sysutil.h"
#include "bench/sysutil/paired_run.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using paired_run::paired;
using paired_run::remove_quietly;
using paired_run::run;

std::string& g_base = paired_run::base_dir();

std::string at(const char* rel) { return g_base + "/" + rel; }

void make_source_tree()
{
    const std::string top = at("src");
    std::vector<char> block(4096);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7 + 3);
    mkdir(top.c_str(), 0755);
    for (int d = 0; d < 100; ++d) {
        const std::string dir = top + "/dir" + std::to_string(d);
        mkdir(dir.c_str(), 0755);
        for (int f = 0; f < 100; ++f) {
            const std::string p = dir + "/file" + std::to_string(f) + ".dat";
            int fd = open(p.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            block[0] = static_cast<char>(f);
            if (fd < 0 || write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size()))
                std::abort();
            close(fd);
        }
    }
}

void make_big_file()
{
    const std::string p = at("big.bin");
    int fd = open(p.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    std::vector<char> chunk(1 << 20);
    for (int i = 0; i < 1024; ++i) {
        for (std::size_t k = 0; k < chunk.size(); k += 4096)
            chunk[k] = static_cast<char>(i + k);
        if (write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size()))
            std::abort();
    }
    fsync(fd);
    close(fd);
}

// ---- copy_tree against cp -a ----
void BM_CopyTree_vs_CpA(benchmark::State& state)
{
    const std::string src = at("src"), dst = at("copy");
    paired(
        state, [] {}, [&] { return copy_tree(src.c_str(), dst.c_str()) == 1; },
        [&] { return run({"cp", "-a", src, dst}) == 0; }, [&] { remove_quietly(dst); });
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_CopyTree_vs_CpA)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

// ---- remove_tree against rm -rf ----
void BM_RemoveTree_vs_RmRf(benchmark::State& state)
{
    const std::string src = at("src"), dst = at("doomed");
    paired(
        state, [&] { run({"cp", "-a", src, dst}); }, [&] { return remove_tree(dst.c_str()) == 1; },
        [&] { return run({"rm", "-rf", dst}) == 0; }, [] {});
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RemoveTree_vs_RmRf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

// ---- count_files_tree against find | wc -l ----
void BM_CountFilesTree_vs_FindWcL(benchmark::State& state)
{
    const std::string pattern = at("src/*.*");
    const std::string cmd = "find '" + at("src") + "' -type f | wc -l >/dev/null";
    paired(
        state, [] {}, [&] { return count_files_tree(pattern.c_str(), "*.*") == 10000; },
        [&] { return run({"sh", "-c", cmd}) == 0; }, [] {});
}
BENCHMARK(BM_CountFilesTree_vs_FindWcL)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// ---- copy_path of 1 GiB against cp ----
void BM_CopyPath1GiB_vs_Cp(benchmark::State& state)
{
    const std::string src = at("big.bin"), dst = at("big.copy");
    paired(
        state, [] {}, [&] { return copy_path(src.c_str(), dst.c_str()) == 1; },
        [&] { return run({"cp", src, dst}) == 0; }, [&] { unlink(dst.c_str()); });
    state.SetBytesProcessed(state.iterations() * (int64_t{1} << 30));
}
BENCHMARK(BM_CopyPath1GiB_vs_Cp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    const char* dir = std::getenv("OSTREL_BENCH_DIR");
    std::string tmpl = std::string(dir ? dir : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp")) +
                       "/ostrel-fileops-bench-XXXXXX";
    if (!mkdtemp(tmpl.data()))
        return 1;
    g_base = tmpl;
    make_source_tree();
    make_big_file();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove_quietly(g_base);
    return 0;
}
