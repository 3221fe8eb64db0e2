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

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string g_base;

std::string at(const char* rel) { return g_base + "/" + rel; }

int run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void remove_quietly(const std::string& path) { run({"rm", "-rf", path}); }

// Outside the timing: the previous round's writes reach the disk, so that no
// measurement pays for another's writeback.
void settle()
{
    int fd = open(g_base.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        syncfs(fd);
        close(fd);
    }
}

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

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One round runs ours and the tool's, each after the same preparation and
// with the file system settled, alternating which goes first so that neither
// always inherits the other's background work. The benchmark's time is ours;
// the counters give the tool's time and the ratio over the whole run.
template <class Prepare, class Ours, class Tool, class Clean>
void paired(benchmark::State& state, Prepare prepare, Ours ours, Tool tool, Clean clean)
{
    double t_ours = 0, t_tool = 0;
    long rounds = 0;
    // One untimed round of each first: the first read of freshly written sources
    // is several times slower, and it would fall on whichever side runs first.
    for (bool ours_now : {true, false}) {
        prepare();
        settle();
        if (!(ours_now ? ours() : tool()))
            state.SkipWithError(ours_now ? "ours failed" : "the tool failed");
        clean();
    }
    for (auto _ : state) {
        double mine = 0;
        for (int k = 0; k < 2; ++k) {
            const bool ours_now = (rounds + k) % 2 == 0;
            prepare();
            settle();
            const double t0 = now();
            const bool ok = ours_now ? ours() : tool();
            const double dt = now() - t0;
            if (!ok)
                state.SkipWithError(ours_now ? "ours failed" : "the tool failed");
            (ours_now ? t_ours : t_tool) += dt;
            if (ours_now)
                mine = dt;
            clean();
        }
        state.SetIterationTime(mine);
        ++rounds;
    }
    state.counters["tool_ms"] = t_tool / static_cast<double>(rounds) * 1e3;
    state.counters["ratio"] = t_ours / t_tool;
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
