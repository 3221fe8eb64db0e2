// The LZH and CAB components through the utility library's archivers: files and
// trees go in and come back out with the same bytes, names and write times; the
// independent readers (bsdtar, cabextract) see the same content; archives made
// elsewhere extract; damaged and hostile archives fail cleanly and write nothing
// outside the target.
#include "ostrel/sysutil.h"
#include "plugins/unlha32/lh5_encoder.h"
#include "plugins/unlha32/lzh_header.h"

#include <gtest/gtest.h>
#include <libgcab.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::time_t kBaseTime = 1700000000;  // even: cabinets keep two-second steps

struct FileState {
    std::string bytes;
    std::time_t mtime;
    bool operator==(const FileState&) const = default;
};
using Tree = std::map<std::string, FileState>;

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const fs::path& p, const std::string& bytes, std::time_t mtime)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    const timespec t[2] = {{mtime, 0}, {mtime, 0}};
    utimensat(AT_FDCWD, p.c_str(), t, 0);
}

Tree read_tree(const fs::path& root)
{
    Tree t;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file())
            continue;
        struct stat st{};
        ::stat(e.path().c_str(), &st);
        t[fs::relative(e.path(), root).string()] = {slurp(e.path()), st.st_mtime};
    }
    return t;
}

int sh(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// The components of this build, and nothing else.
Archiver* archiver_of(const std::string& name)
{
    const char* build = std::getenv("OSTREL_BINARY_DIR");
    if (!build)
        return nullptr;
    setenv("OSTREL_COMPONENT_DIR", (std::string(build) + "/bin").c_str(), 1);
    return archiver_for(name.c_str());
}

struct Format {
    const char* extension;
    const char* reader;  // independent reader, %a archive, %d directory
};

class ArchiveComponents : public ::testing::TestWithParam<Format> {
protected:
    static void SetUpTestSuite()
    {
        root_ = fs::temp_directory_path() / ("lzh_cab_test_" + std::to_string(getpid()));
        fs::remove_all(root_);
        // 200 files in nested directories, UTF-8 names, empty files, one of 50 MB.
        std::mt19937 rng(5);
        for (int i = 0; i < 199; ++i) {
            const std::string dir = i % 3 == 0 ? "" : "d" + std::to_string(i % 7) + (i % 2 ? "/深い/x" : "/ü");
            std::string bytes;
            if (i % 10 != 0)
                for (int k = 0, n = static_cast<int>(rng() % 5000); k < n; ++k)
                    bytes += static_cast<char>(k % 3 ? 'a' + rng() % 8 : rng());
            put(root_ / "tree" / dir / ("файл " + std::to_string(i) + ".txt"), bytes, kBaseTime + 2 * i);
        }
        std::string big(50u * 1000 * 1000, '\0');
        for (std::size_t k = 0; k < big.size(); k += 4)
            big[k] = static_cast<char>((k >> 9) ^ rng() % 4);
        put(root_ / "tree" / "big.bin", big, kBaseTime + 1000);
        source_ = read_tree(root_ / "tree");
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    Archiver* archiver() const { return archiver_of("x" + std::string(GetParam().extension)); }
    fs::path archive(const std::string& stem) const { return root_ / (stem + GetParam().extension); }
    fs::path fresh(const std::string& name) const
    {
        fs::remove_all(root_ / name);
        fs::create_directories(root_ / name);
        return root_ / name;
    }

    static inline fs::path root_;
    static inline Tree source_;
};

TEST_P(ArchiveComponents, TreeGoesInAndComesBackWhole)
{
    Archiver* a = archiver();
    ASSERT_NE(a, nullptr);
    const fs::path arc = archive("tree");
    fs::remove(arc);
    ASSERT_EQ(a->add(arc.c_str(), (root_ / "tree").c_str()), 1);
    struct stat st{};
    ASSERT_EQ(::stat(arc.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, kBaseTime + 1000);  // the newest source file's
    ASSERT_EQ(a->extract_all(arc.c_str(), fresh("all").c_str()), 1);
    EXPECT_TRUE(read_tree(root_ / "all") == source_);

    // The independent reader sees the same content.
    std::string reader = GetParam().reader;
    reader.replace(reader.find("%a"), 2, arc.string());
    reader.replace(reader.find("%d"), 2, fresh("other").string());
    ASSERT_EQ(sh(reader), 0) << reader;
    EXPECT_TRUE(read_tree(root_ / "other") == source_);

    // The records of FindFirst/FindNext list every file with its size and time.
    EXPECT_EQ(a->check_archive(arc.c_str(), CHECKARCHIVE_FULLCRC), 1);
    HARC h = a->open_archive(nullptr, arc.c_str(), 0);
    ASSERT_NE(h, nullptr);
    INDIVIDUALINFO info{};
    std::map<std::string, std::uint32_t> listed;
    for (int rc = a->find_first(h, "*", &info); rc == 0; rc = a->find_next(h, &info))
        if (info.szAttribute[0] != 'd')
            listed[info.szFileName] = info.dwOriginalSize;
    a->close_archive(h);
    EXPECT_EQ(listed.size(), source_.size());
    EXPECT_EQ(listed["big.bin"], source_.at("big.bin").bytes.size());

    // One file, without its directories.
    const std::string one = "d1/深い/x/файл 1.txt";
    ASSERT_EQ(a->extract_one(arc.c_str(), fresh("one").c_str(), one.c_str()), 1);
    EXPECT_TRUE((read_tree(root_ / "one") == Tree{{"файл 1.txt", source_.at(one)}}));
}

TEST_P(ArchiveComponents, AddedFileJoinsTheArchive)
{
    Archiver* a = archiver();
    ASSERT_NE(a, nullptr);
    const fs::path arc = archive("files");
    fs::remove(arc);
    const fs::path first = root_ / "tree" / "файл 3.txt", second = root_ / "tree" / "файл 6.txt";
    ASSERT_EQ(a->add(arc.c_str(), first.c_str()), 1);
    ASSERT_EQ(a->add(arc.c_str(), second.c_str()), 1);
    ASSERT_EQ(a->extract_all(arc.c_str(), fresh("files").c_str()), 1);
    EXPECT_TRUE((read_tree(root_ / "files")
                 == Tree{{"файл 3.txt", source_.at("файл 3.txt")}, {"файл 6.txt", source_.at("файл 6.txt")}}));
}

TEST_P(ArchiveComponents, DamagedArchivesFailAndSelfExtractingIsRefused)
{
    Archiver* a = archiver();
    ASSERT_NE(a, nullptr);
    const fs::path arc = archive("small");
    fs::remove(arc);
    ASSERT_EQ(a->add(arc.c_str(), (root_ / "tree" / "d1").c_str()), 1);
    const std::string good = slurp(arc);
    EXPECT_EQ(a->special(arc.c_str()), 0);
    EXPECT_EQ(slurp(arc), good);
    const fs::path bad = archive("bad");
    for (std::size_t cut : {std::size_t{1}, std::size_t{30}, good.size() / 2, good.size() - 3}) {
        std::string damaged = good.substr(0, cut);
        put(bad, damaged, kBaseTime);
        EXPECT_EQ(a->extract_all(bad.c_str(), fresh("bad").c_str()), 0) << "cut at " << cut;
        damaged = good;
        for (std::size_t k = cut; k < damaged.size(); k += 97)
            damaged[k] = static_cast<char>(damaged[k] ^ 0x5A);
        put(bad, damaged, kBaseTime);
        EXPECT_EQ(a->extract_all(bad.c_str(), fresh("bad").c_str()), 0) << "changed from " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ArchiveComponents,
                         ::testing::Values(Format{".lzh", "bsdtar -xf '%a' -C '%d'"},
                                           Format{".cab", "cd '%d' && cabextract -q '%a'"}),
                         [](const auto& info) { return std::string(info.param.extension + 1); });

// Archives made elsewhere: a cabinet by gcab; LZH members with level-0 and level-1
// headers and stored data, built by hand as other archivers write them.
TEST(ArchivesMadeElsewhere, ExtractWithTheirNamesBytesAndTimes)
{
    const fs::path root = fs::temp_directory_path() / ("lzh_cab_elsewhere_" + std::to_string(getpid()));
    fs::remove_all(root);
    put(root / "src" / "a.txt", "alpha\n", kBaseTime);
    put(root / "src" / "sub" / "b.txt", std::string(3000, 'b'), kBaseTime + 2);
    if (sh("cd '" + (root / "src").string() + "' && gcab -c -z '" + (root / "g.cab").string() + "' a.txt sub/b.txt") != 0)
        GTEST_SKIP() << "gcab is not installed";
    ASSERT_NE(archiver_of("g.cab"), nullptr);
    ASSERT_EQ(archiver_of("g.cab")->extract_all((root / "g.cab").c_str(), (root / "cab").c_str()), 1);
    EXPECT_TRUE(read_tree(root / "cab") == read_tree(root / "src"));

    // Level 0: name in the header, DOS time; level 1: the same plus an empty
    // extended area. Both stored (-lh0-).
    std::string lzh;
    auto member = [&](int level, const std::string& name, const std::string& data) {
        std::string h;
        auto le = [&](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i)
                h += static_cast<char>(v >> (8 * i));
        };
        const std::uint16_t crc = ostrel::lzh::lzh_crc16(0, data.data(), data.size());
        h += "-lh0-";
        le(static_cast<std::uint32_t>(data.size()), 4);
        le(static_cast<std::uint32_t>(data.size()), 4);
        le((3u << 11) | (4u << 5) | 5u, 2);                    // 03:04:10
        le(((2001u - 1980u) << 9) | (2u << 5) | 3u, 2);        // 2001-02-03
        h += static_cast<char>(0x20);
        h += static_cast<char>(level);
        h += static_cast<char>(name.size());
        h += name;
        le(crc, 2);
        if (level == 1) {
            h += 'M';
            le(0, 2);  // no extended header
        }
        std::uint8_t sum = 0;
        for (char c : h)
            sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
        lzh += static_cast<char>(h.size());
        lzh += static_cast<char>(sum);
        lzh += h + data;
    };
    member(0, "zero.txt", "level zero\n");
    member(1, "one.txt", "level one\n");
    lzh += '\0';
    put(root / "old.lzh", lzh, kBaseTime);
    ASSERT_NE(archiver_of("old.lzh"), nullptr);
    ASSERT_EQ(archiver_of("old.lzh")->extract_all((root / "old.lzh").c_str(), (root / "lzh").c_str()), 1);
    const Tree got = read_tree(root / "lzh");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got.at("zero.txt").bytes, "level zero\n");
    EXPECT_EQ(got.at("one.txt").bytes, "level one\n");
    std::tm tm{};
    tm.tm_year = 101, tm.tm_mon = 1, tm.tm_mday = 3, tm.tm_hour = 3, tm.tm_min = 4, tm.tm_sec = 10, tm.tm_isdst = -1;
    EXPECT_EQ(got.at("zero.txt").mtime, std::mktime(&tm));
    fs::remove_all(root);
}

// Hostile names never reach outside the target directory.
TEST(HostileArchives, EntriesLeavingTheTargetAreSkipped)
{
    const fs::path root = fs::temp_directory_path() / ("lzh_cab_hostile_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "out");
    std::string lzh;
    for (const char* name : {"../evil.txt", "/tmp/evil_abs.txt", "fine.txt"}) {
        ostrel::lzh::LzhEntry e{name, false, "-lh0-", 4, 4, kBaseTime * 1000000000LL,
                                ostrel::lzh::lzh_crc16(0, "evil", 4), 0644};
        const auto h = ostrel::lzh::lzh_level2_header(e);
        lzh.append(h.begin(), h.end());
        lzh += "evil";
    }
    lzh += '\0';
    put(root / "h.lzh", lzh, kBaseTime);
    ASSERT_NE(archiver_of("h.lzh"), nullptr);
    EXPECT_EQ(archiver_of("h.lzh")->extract_all((root / "h.lzh").c_str(), (root / "out").c_str()), 0);
    EXPECT_FALSE(fs::exists(root / "evil.txt"));
    EXPECT_FALSE(fs::exists("/tmp/evil_abs.txt"));
    EXPECT_TRUE(fs::exists(root / "out" / "fine.txt"));

    // A cabinet whose members climb out, written through libgcab with the names as given.
    GCabCabinet* cab = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_NONE);
    for (const char* name : {"..\\evil.txt", "a\\..\\..\\evil.txt", "fine.txt"}) {
        GBytes* bytes = g_bytes_new_static("evil", 4);
        GCabFile* f = gcab_file_new_with_bytes(name, bytes);
        ASSERT_TRUE(gcab_folder_add_file(folder, f, FALSE, nullptr, nullptr)) << name;
        g_object_unref(f);
        g_bytes_unref(bytes);
    }
    ASSERT_TRUE(gcab_cabinet_add_folder(cab, folder, nullptr));
    GFile* file = g_file_new_for_path((root / "h.cab").c_str());
    GFileOutputStream* out = g_file_replace(file, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, nullptr);
    ASSERT_TRUE(out && gcab_cabinet_write_simple(cab, G_OUTPUT_STREAM(out), nullptr, nullptr, nullptr, nullptr));
    g_output_stream_close(G_OUTPUT_STREAM(out), nullptr, nullptr);
    for (gpointer p : {static_cast<gpointer>(out), static_cast<gpointer>(file), static_cast<gpointer>(folder),
                       static_cast<gpointer>(cab)})
        g_object_unref(p);
    fs::remove_all(root / "out");
    fs::create_directories(root / "out");
    ASSERT_NE(archiver_of("h.cab"), nullptr);
    EXPECT_EQ(archiver_of("h.cab")->extract_all((root / "h.cab").c_str(), (root / "out").c_str()), 0);
    EXPECT_FALSE(fs::exists(root / "evil.txt"));
    EXPECT_FALSE(fs::exists(root.parent_path() / "evil.txt"));
    EXPECT_TRUE(fs::exists(root / "out" / "fine.txt"));
    fs::remove_all(root);
}

}  // namespace
