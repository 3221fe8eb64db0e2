// Speed of the converter: a 50 MB file of Japanese text in Shift_JIS read,
// converted to UTF-8 and written, then read back, converted to Shift_JIS and
// written, with the input's encoding guessed both times; beside it, in the same
// run, the iconv command doing the same two conversions on the same file.
// Throughput is reported as Shift_JIS bytes per second, and the processor time of
// a round trip (this process, or the iconv and shell processes) as cpu_ms. Run with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=6 so that the
// two sides alternate and the swings of a shared machine fall on both.
#include "ostrel/sysutil.h"

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr std::size_t target_bytes = 50u * 1000 * 1000;

std::string dir() { return "/tmp/ostrel_nkf_bench_" + std::to_string(getpid()); }

std::string read_file(const std::string& path)
{
    std::string data;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        struct stat st{};
        if (fstat(fileno(f), &st) == 0) {
            data.resize(static_cast<std::size_t>(st.st_size));
            data.resize(std::fread(data.data(), 1, data.size(), f));
        }
        std::fclose(f);
    }
    return data;
}

void write_file(const std::string& path, const std::string& data)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
}

// User and system time of this process or of its ended children, in milliseconds:
// the machine is shared, so the processor time of both sides is reported beside
// the wall clock.
double cpu_ms(int who)
{
    rusage u{};
    getrusage(who, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// The Shift_JIS file, made once: lines of prose, katakana, symbols and ASCII.
const std::string& sjis_file()
{
    static const std::string path = [] {
        std::string utf8;
        for (int i = 0; utf8.size() < target_bytes * 3 / 2; ++i) {
            utf8 += "第" + std::to_string(i) + "節　吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。\r\n";
            utf8 += "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。(page " +
                    std::to_string(i % 300) + ")\r\n";
            utf8 += "記号：「」『』【】〒※→←↑↓○●◎□■△▲▽▼◇◆★☆♪　ＡＢＣ１２３\r\n";
        }
        std::string sjis(utf8.size(), '\0');
        iconv_t cd = iconv_open("CP932", "UTF-8");
        char* ip = utf8.data();
        char* op = sjis.data();
        std::size_t il = utf8.size(), ol = sjis.size();
        iconv(cd, &ip, &il, &op, &ol);
        iconv_close(cd);
        sjis.resize(sjis.size() - ol);
        mkdir(dir().c_str(), 0700);
        std::string p = dir() + "/text.sjis";
        write_file(p, sjis);
        return p;
    }();
    return path;
}

// A converted text in a block allocated uncleared, as a program converting a file
// would hold it.
struct Converted {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

Converted convert(const char* options, const std::string& in)
{
    Converted c;
    std::size_t size = nkf_output_size(in.size());
    c.data.reset(new char[size]);
    long n = nkf_convert_n(options, in.c_str(), c.data.get(), size);
    c.size = n < 0 ? 0 : static_cast<std::size_t>(n);
    return c;
}

void write_file(const std::string& path, const Converted& c)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(c.data.get(), 1, c.size, f);
        std::fclose(f);
    }
}

void BM_NkfConvertRoundTrip(benchmark::State& state)
{
    setenv("OSTREL_COMPONENT_DIR", OSTREL_BENCH_COMPONENT_DIR, 0);
    const std::string& path = sjis_file();
    std::size_t bytes = 0;
    double cpu = cpu_ms(RUSAGE_SELF);
    for (auto _ : state) {
        std::string sjis = read_file(path);
        bytes = sjis.size();
        write_file(dir() + "/nkf.utf8", convert("-w", sjis));
        Converted back = convert("-s", read_file(dir() + "/nkf.utf8"));
        write_file(dir() + "/nkf.sjis", back);
        if (back.size != sjis.size() || std::memcmp(back.data.get(), sjis.data(), sjis.size()) != 0)
            state.SkipWithError("the round trip changed the text");
    }
    state.counters["cpu_ms"] = (cpu_ms(RUSAGE_SELF) - cpu) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(bytes * state.iterations()));
}

void BM_IconvCommandRoundTrip(benchmark::State& state)
{
    const std::string& path = sjis_file();
    std::string cmd = "iconv -f CP932 -t UTF-8 " + path + " > " + dir() + "/cmd.utf8 && iconv -f UTF-8 -t CP932 " +
                      dir() + "/cmd.utf8 > " + dir() + "/cmd.sjis";
    double cpu = cpu_ms(RUSAGE_CHILDREN);
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("the iconv command failed");
    state.counters["cpu_ms"] = (cpu_ms(RUSAGE_CHILDREN) - cpu) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(read_file(path).size() * state.iterations()));
}

BENCHMARK(BM_NkfConvertRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_IconvCommandRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::system(("rm -rf " + dir()).c_str());
    return 0;
}
