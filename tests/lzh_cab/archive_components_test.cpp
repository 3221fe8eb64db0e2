// The LZH and CAB components through the utility library's archivers: files and
// trees go in and come back out with the same bytes, names and write times; the
// independent readers (bsdtar, cabextract) see the same content; archives made
// elsewhere extract; damaged and hostile archives fail cleanly and write nothing
// outside the target.
#include "plugins/unlha32/lh5_encoder.h"
#include "plugins/unlha32/lzh_header.h"
#include "tests/sysutil/archive_fixture.h"

#include <libgcab.h>

#include <ctime>

using namespace archive_test;

namespace {

constexpr long long kBaseTime = 1700000000;  // even: cabinets keep two-second steps

struct Format {
    const char* extension;
    const char* reader;  // independent reader, %a archive, %d directory
};

class ArchiveComponents : public ArchiveTest, public ::testing::WithParamInterface<Format> {
protected:
    Archiver* archiver() const { return archiver_for((std::string("x") + GetParam().extension).c_str()); }
    std::string archive(const std::string& stem) const { return at(stem + GetParam().extension); }
    // A target directory, made empty.
    std::string fresh(const std::string& name) const
    {
        fs::remove_all(at(name));
        fs::create_directories(at(name));
        return at(name);
    }
};

TEST_P(ArchiveComponents, TreeGoesInAndComesBackWhole)
{
    make_tree(at("tree"), 199, 50u << 20);
    Archiver* a = archiver();
    ASSERT_NE(a, nullptr);
    const std::string arc = archive("tree");
    ASSERT_EQ(a->add(arc.c_str(), at("tree").c_str()), 1);
    struct stat st{};
    ASSERT_EQ(::stat(arc.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1600004000);  // the newest source file's
    const auto source = files_only(tree_of(at("tree")));
    ASSERT_EQ(a->extract_all(arc.c_str(), fresh("all").c_str()), 1);
    EXPECT_TRUE(files_only(tree_of(at("all"))) == source);

    // The independent reader sees the same content.
    std::string reader = GetParam().reader;
    reader.replace(reader.find("%a"), 2, arc);
    reader.replace(reader.find("%d"), 2, fresh("other"));
    ASSERT_EQ(std::system((reader + " >/dev/null 2>&1").c_str()), 0) << reader;
    EXPECT_TRUE(files_only(tree_of(at("other"))) == source);

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
    EXPECT_EQ(listed.size(), source.size());
    EXPECT_EQ(listed["big.bin"], source.at("big.bin").size);

    // One file, without its directories.
    ASSERT_EQ(a->extract_one(arc.c_str(), fresh("one").c_str(), "空の名前/ü/file_4"), 1);
    EXPECT_EQ(tree_of(at("one")), (std::map<std::string, FileFacts>{{"file_4", source.at("空の名前/ü/file_4")}}));
}

TEST_P(ArchiveComponents, AddedFileJoinsTheArchive)
{
    Archiver* a = archiver();
    ASSERT_NE(a, nullptr);
    write_file(at("src/файл 3.txt"), generated_bytes(3000, 3), kBaseTime);
    write_file(at("src/файл 6.txt"), generated_bytes(4000, 6), kBaseTime + 2);
    ASSERT_EQ(a->add(archive("files").c_str(), at("src/файл 3.txt").c_str()), 1);
    ASSERT_EQ(a->add(archive("files").c_str(), at("src/файл 6.txt").c_str()), 1);
    ASSERT_EQ(a->extract_all(archive("files").c_str(), fresh("files").c_str()), 1);
    EXPECT_EQ(tree_of(at("files")), tree_of(at("src")));
}

TEST_P(ArchiveComponents, DamagedArchivesFailAndSelfExtractingIsRefused)
{
    Archiver* a = archiver();
    ASSERT_NE(a, nullptr);
    make_tree(at("src"), 12, 0);
    const std::string arc = archive("small");
    ASSERT_EQ(a->add(arc.c_str(), at("src/docs").c_str()), 1);
    const std::string good = file_text(arc);
    EXPECT_EQ(a->special(arc.c_str()), 0);
    EXPECT_EQ(file_text(arc), good);
    const std::string bad = archive("bad");
    for (std::size_t cut : {std::size_t{1}, std::size_t{30}, good.size() / 2, good.size() - 3}) {
        std::string damaged = good.substr(0, cut);
        write_file(bad, damaged, kBaseTime);
        EXPECT_EQ(a->extract_all(bad.c_str(), fresh("bad").c_str()), 0) << "cut at " << cut;
        damaged = good;
        for (std::size_t k = cut; k < damaged.size(); k += 97)
            damaged[k] = static_cast<char>(damaged[k] ^ 0x5A);
        write_file(bad, damaged, kBaseTime);
        EXPECT_EQ(a->extract_all(bad.c_str(), fresh("bad").c_str()), 0) << "changed from " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ArchiveComponents,
                         ::testing::Values(Format{".lzh", "bsdtar -xf '%a' -C '%d'"},
                                           Format{".cab", "cd '%d' && cabextract -q '%a'"}),
                         [](const auto& info) { return std::string(info.param.extension + 1); });

using ArchivesMadeElsewhere = ArchiveTest;
using HostileArchives = ArchiveTest;

// Archives made elsewhere: a cabinet by gcab; LZH members with level-0 and level-1
// headers and stored data, built by hand as other archivers write them.
TEST_F(ArchivesMadeElsewhere, ExtractWithTheirNamesBytesAndTimes)
{
    write_file(at("src/a.txt"), "alpha\n", kBaseTime);
    write_file(at("src/sub/b.txt"), std::string(3000, 'b'), kBaseTime + 2);
    if (std::system(("cd '" + at("src") + "' && gcab -c -z '" + at("g.cab") + "' a.txt sub/b.txt >/dev/null 2>&1").c_str()))
        GTEST_SKIP() << "gcab is not installed";
    ASSERT_NE(archiver_for("g.cab"), nullptr);
    ASSERT_EQ(archiver_for("g.cab")->extract_all(at("g.cab").c_str(), at("cab").c_str()), 1);
    EXPECT_EQ(tree_of(at("cab")), tree_of(at("src")));

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
    write_file(at("old.lzh"), lzh, kBaseTime);
    ASSERT_NE(archiver_for("old.lzh"), nullptr);
    ASSERT_EQ(archiver_for("old.lzh")->extract_all(at("old.lzh").c_str(), at("lzh").c_str()), 1);
    const auto got = tree_of(at("lzh"));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(file_text(at("lzh/zero.txt")), "level zero\n");
    EXPECT_EQ(file_text(at("lzh/one.txt")), "level one\n");
    std::tm tm{};
    tm.tm_year = 101, tm.tm_mon = 1, tm.tm_mday = 3, tm.tm_hour = 3, tm.tm_min = 4, tm.tm_sec = 10, tm.tm_isdst = -1;
    EXPECT_EQ(got.at("zero.txt").mtime, std::mktime(&tm));
}

// Hostile names never reach outside the target directory.
TEST_F(HostileArchives, EntriesLeavingTheTargetAreSkipped)
{
    const fs::path root = root_;
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
    write_file(root / "h.lzh", lzh, kBaseTime);
    ASSERT_NE(archiver_for("h.lzh"), nullptr);
    EXPECT_EQ(archiver_for("h.lzh")->extract_all((root / "h.lzh").c_str(), (root / "out").c_str()), 0);
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
    ASSERT_NE(archiver_for("h.cab"), nullptr);
    EXPECT_EQ(archiver_for("h.cab")->extract_all((root / "h.cab").c_str(), (root / "out").c_str()), 0);
    EXPECT_FALSE(fs::exists(root / "evil.txt"));
    EXPECT_FALSE(fs::exists(root.parent_path() / "evil.txt"));
    EXPECT_TRUE(fs::exists(root / "out" / "fine.txt"));
}

}  // namespace
