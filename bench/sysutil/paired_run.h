// Side-by-side timing of ours against a command-line tool: the tool started
// as a child process, both on the same files in alternating rounds with the
// file system settled before each, the tool's time and the ratio (ours / tool)
// reported as counters. On a shared machine only side-by-side rounds compare
// fairly.
#pragma once
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace paired_run {

// The directory the benchmark's files live in (settled before each round).
inline std::string& base_dir()
{
    static std::string dir;
    return dir;
}

inline int run(std::vector<std::string> args)
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

inline void remove_quietly(const std::string& path) { run({"rm", "-rf", path}); }

// Outside the timing: the previous round's writes reach the disk, so that no
// measurement pays for another's writeback.
inline void settle()
{
    int fd = open(base_dir().c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        syncfs(fd);
        close(fd);
    }
}

inline double now()
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
inline void paired(benchmark::State& state, Prepare prepare, Ours ours, Tool tool, Clean clean)
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

}  // namespace paired_run
