// What the archive tests share: the build's components as the only ones found,
// a scratch directory, a generated source tree, tree comparison, the command
// entry of a component called directly (to see its answer and report), and the
// independent readers and writers (Python, bsdtar) run as commands.
#pragma once
#include "ostrel/sysutil.h"
#include "sysutil/archive_internal.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace archive_test {

namespace fs = std::filesystem;

using namespace trace_capture;
inline std::vector<std::string>& statuses()
{
    static std::vector<std::string> s;
    return s;
}
inline void capture_status(int, const char* text) { statuses().emplace_back(text); }

inline std::string bin_dir() { return std::string(std::getenv("OSTREL_BINARY_DIR")) + "/bin"; }

// A component's command entry, called directly.
struct Answer { int code; std::string report; };
inline Answer call_component(const char* dll, const char* prefix, const std::string& line,
                             DWORD size = 1 << 16)
{
    void* h = dlopen((bin_dir() + "/" + dll).c_str(), RTLD_NOW);
    if (!h)
        return {-1, "not built"};
    auto entry = reinterpret_cast<archive_command_fn>(dlsym(h, prefix));
    std::string out(size ? size : 1, '#');
    const int code = entry(nullptr, line.c_str(), size ? out.data() : nullptr, size);
    dlclose(h);
    return {code, size ? std::string(out.c_str()) : std::string()};
}

// A file's bytes, CRC-32 and write time, as the comparisons need them.
struct FileFacts {
    std::uintmax_t size;
    unsigned long crc;
    long long mtime;
    bool operator==(const FileFacts&) const = default;
};
inline FileFacts facts_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::vector<char> buf(1 << 20);
    unsigned long crc = crc32(0, Z_NULL, 0);
    std::uintmax_t size = 0;
    while (in.read(buf.data(), buf.size()) || in.gcount() > 0) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buf.data()), static_cast<uInt>(in.gcount()));
        size += static_cast<std::uintmax_t>(in.gcount());
    }
    struct stat st;
    stat(p.c_str(), &st);
    return {size, crc, static_cast<long long>(st.st_mtime)};
}
// Every regular file of a tree by relative name; directories as size -1.
inline std::map<std::string, FileFacts> tree_of(const fs::path& root)
{
    std::map<std::string, FileFacts> t;
    if (!fs::exists(root))
        return t;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = fs::relative(e.path(), root).string();
        if (e.is_directory())
            t[rel] = {static_cast<std::uintmax_t>(-1), 0, 0};
        else
            t[rel] = facts_of(e.path());
    }
    return t;
}

// The same without the directories.
inline std::map<std::string, FileFacts> files_only(std::map<std::string, FileFacts> t)
{
    std::erase_if(t, [](const auto& e) { return e.second.size == static_cast<std::uintmax_t>(-1); });
    return t;
}

inline void write_file(const fs::path& p, const std::string& bytes, long long mtime)
{
    fs::create_directories(p.parent_path());
    put_file(p, bytes);
    const struct timespec t[2] = {{mtime, 0}, {mtime, 0}};
    utimensat(AT_FDCWD, p.c_str(), t, 0);
}

// Text of words and runs of noise: compresses, but not to nothing.
inline std::string generated_bytes(std::size_t n, unsigned seed)
{
    static const char* words[] = {"archive ", "ostrel ", "page ", "bitmap ", "marcot ", "kinoa ",
                                  "\n", "0x7f3a ", "zlib ", "データ "};
    std::string s;
    s.reserve(n + 16);
    unsigned x = seed * 2654435761u + 1;
    while (s.size() < n) {
        x = x * 1664525u + 1013904223u;
        if ((x >> 28) == 0)
            for (int k = 0; k < 8; ++k, x = x * 1664525u + 1013904223u)
                s += static_cast<char>(x >> 24);
        else
            s += words[(x >> 16) % 10];
    }
    s.resize(n);
    return s;
}

// `files` files in nested directories with UTF-8 names, every tenth empty,
// and one file of `big` bytes when big > 0; write times on even seconds.
inline void make_tree(const fs::path& root, int files, std::size_t big)
{
    static const char* dirs[] = {"", "docs", "docs/ノート", "src/a/b/c", "空の名前/ü", "src/a"};
    for (int i = 0; i < files; ++i) {
        const std::string dir = dirs[i % 6];
        const std::string name = (i % 3 ? "file_" : "ファイル_") + std::to_string(i) + (i % 4 ? ".txt" : "");
        const std::size_t size = i % 10 == 0 ? 0 : static_cast<std::size_t>((i * 7919) % 20000);
        write_file(root / dir / name, generated_bytes(size, static_cast<unsigned>(i)), 1600000000 + 2 * i);
    }
    if (big)
        write_file(root / "big.bin", generated_bytes(big, 99), 1600000000 + 4000);
    fs::create_directories(root / "empty dir");
}

inline bool have_python() { return std::system("python3 -c 1 >/dev/null 2>&1") == 0; }

// "name size crc" lines, sorted, of the regular files in a ZIP or TAR archive,
// read by Python's own modules.
inline std::string python_listing(const std::string& archive)
{
    return command_output("python3 - '" + archive + "' <<'EOF'\n"
                      "import sys, zipfile, tarfile, zlib\n"
                      "p = sys.argv[1]; rows = []\n"
                      "if zipfile.is_zipfile(p):\n"
                      "    z = zipfile.ZipFile(p)\n"
                      "    rows = [(i.filename, i.file_size, zlib.crc32(z.read(i))) for i in z.infolist() if not i.is_dir()]\n"
                      "else:\n"
                      "    t = tarfile.open(p)\n"
                      "    rows = [(m.name, m.size, zlib.crc32(t.extractfile(m).read())) for m in t if m.isfile()]\n"
                      "for r in sorted(rows): print('%s %d %d' % r)\n"
                      "EOF");
}
inline std::string listing_of(const std::map<std::string, FileFacts>& tree)
{
    std::ostringstream s;
    for (const auto& [name, f] : tree)
        if (f.size != static_cast<std::uintmax_t>(-1))
            s << name << ' ' << f.size << ' ' << f.crc << '\n';
    return s.str();
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("OSTREL_COMPONENT_DIR", bin_dir().c_str(), 1);
        archiver_release_all();
        ASSERT_FALSE(scratch_.path.empty());
        traced().clear();
        statuses().clear();
        set_utility_hooks(nullptr, capture_trace, nullptr, capture_status, trace_on);
    }
    void TearDown() override
    {
        set_utility_hooks(nullptr, nullptr, nullptr, nullptr, nullptr);
        archiver_release_all();
    }
    std::string at(const std::string& rel) const { return (root_ / rel).string(); }

    ScratchDir scratch_{"ostrel-archive"};
    fs::path root_ = scratch_.path;
};

}  // namespace archive_test
