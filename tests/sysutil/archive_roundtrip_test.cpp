// ZIP and gzip-TAR through the shipped components: a file and a tree of 200
// files (one of 50 MB) added and extracted whole and one by one, read back by
// Python, archives made by Python and bsdtar extracted, and the entry records.
#include "archive_fixture.h"

#include "plugins/archive_common/dos_time.h"

using namespace archive_test;

namespace {

struct Format {
    const char* ext;
    // Makes an archive of a directory's contents with an independent tool.
    const char* make_elsewhere;
    bool add_keeps_entries;   // ZIP adds to an archive, TAR makes a new one
};
const Format formats[] = {
    {"zip", "cd '%s' && python3 -c \"import os, zipfile\n"
            "z = zipfile.ZipFile('%s', 'w', zipfile.ZIP_DEFLATED)\n"
            "for d, ds, fs in os.walk('.'):\n"
            "    ds.sort()\n"
            "    for f in sorted(fs): z.write(os.path.join(d, f))\"", true},
    {"tgz", "bsdtar -czf '%2$s' -C '%1$s' .", false},
};

class RoundTrip : public ArchiveTest, public ::testing::WithParamInterface<Format> {
protected:
    std::string archive() const { return at(std::string("test.") + GetParam().ext); }
    Archiver* archiver() const { return archiver_for(archive().c_str()); }
};

TEST_P(RoundTrip, AFileGoesInAndComesOut)
{
    write_file(at("src/one file.txt"), generated_bytes(30000, 1), 1600000002);
    ASSERT_NE(archiver(), nullptr);
    ASSERT_EQ(archiver()->add(archive().c_str(), at("src/one file.txt").c_str()), 1);
    EXPECT_EQ(archiver()->extract_all(archive().c_str(), at("all").c_str()), 1);
    EXPECT_EQ(tree_of(at("all")), tree_of(at("src")));
    EXPECT_EQ(archiver()->extract_one(archive().c_str(), at("one/").c_str(), "one file.txt"), 1);
    EXPECT_EQ(tree_of(at("one")), tree_of(at("src")));
    EXPECT_EQ(archiver()->extract_one(archive().c_str(), at("none").c_str(), "absent.txt"), 0);
    if (have_python()) {
        EXPECT_EQ(python_listing(archive()), listing_of(tree_of(at("src"))));
    }

    write_file(at("more/second.txt"), "2", 1600000004);
    ASSERT_EQ(archiver()->add(archive().c_str(), at("more/second.txt").c_str()), 1);
    EXPECT_EQ(archiver()->extract_all(archive().c_str(), at("again").c_str()), 1);
    auto expected = tree_of(at("more"));
    if (GetParam().add_keeps_entries)
        expected.merge(tree_of(at("src")));
    EXPECT_EQ(tree_of(at("again")), expected);
}

TEST_P(RoundTrip, ATreeGoesInAndComesOut)
{
    make_tree(at("src"), 199, 50u << 20);
    ASSERT_NE(archiver(), nullptr);
    ASSERT_EQ(archiver()->add(archive().c_str(), at("src").c_str()), 1);
    struct stat st;
    ASSERT_EQ(stat(archive().c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1600004000) << "the newest file's time";

    const auto source = tree_of(at("src"));
    EXPECT_EQ(archiver()->extract_all(archive().c_str(), at("all").c_str()), 1);
    const auto all = tree_of(at("all"));
    EXPECT_EQ(all.size(), source.size());
    EXPECT_TRUE(all == source);
    EXPECT_EQ(archiver()->extract_one(archive().c_str(), at("one").c_str(), "空の名前/ü/ファイル_204"), 0)
        << "no such entry";
    EXPECT_EQ(archiver()->extract_one(archive().c_str(), at("one").c_str(), "空の名前/ü/file_4"), 1);
    EXPECT_EQ(tree_of(at("one")), (std::map<std::string, FileFacts>{{"file_4", source.at("空の名前/ü/file_4")}}));
    if (have_python()) {
        EXPECT_EQ(python_listing(archive()), listing_of(source));
    }
}

TEST_P(RoundTrip, ArchivesMadeElsewhereExtract)
{
    if (!have_python() || std::system("bsdtar --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 or bsdtar is not installed";
    make_tree(at("src"), 40, 0);
    char command[4096];
    std::snprintf(command, sizeof command, GetParam().make_elsewhere, at("src").c_str(), archive().c_str());
    ASSERT_EQ(std::system(command), 0);
    ASSERT_EQ(archiver()->extract_all(archive().c_str(), at("out").c_str()), 1);
    EXPECT_EQ(files_only(tree_of(at("out"))), files_only(tree_of(at("src"))));
}

TEST_P(RoundTrip, RecordsDescribeTheEntries)
{
    make_tree(at("src"), 24, 0);
    ASSERT_EQ(archiver()->add(archive().c_str(), at("src").c_str()), 1);
    const auto source = tree_of(at("src"));
    EXPECT_EQ(archiver()->check_archive(archive().c_str(), CHECKARCHIVE_FULLCRC), 1);
    EXPECT_EQ(archiver()->file_count(archive().c_str()), static_cast<int>(source.size()));

    HARC h = archiver()->open_archive(nullptr, archive().c_str(), 0);
    ASSERT_NE(h, nullptr);
    INDIVIDUALINFO info;
    std::size_t seen = 0;
    for (int r = archiver()->find_first(h, "*.*", &info); r == 0; r = archiver()->find_next(h, &info)) {
        std::string name = info.szFileName;
        if (!name.empty() && name.back() == '/')
            name.pop_back();
        ASSERT_TRUE(source.count(name)) << name;
        const FileFacts& f = source.at(name);
        ++seen;
        if (f.size == static_cast<std::uintmax_t>(-1)) {
            EXPECT_EQ(info.szAttribute[0], 'd') << name;
            continue;
        }
        EXPECT_EQ(info.dwOriginalSize, f.size) << name;
        EXPECT_EQ(info.dwCRC, f.crc) << name;
        std::uint16_t date, time;
        component::to_dos_time(f.mtime, date, time);
        EXPECT_EQ(info.wDate, date) << name;
        EXPECT_EQ(info.wTime, time) << name;
    }
    EXPECT_EQ(seen, source.size());
    EXPECT_EQ(archiver()->find_first(h, "*_1?.txt", &info), 0);
    EXPECT_STREQ(path_name_part(info.szFileName), "file_13.txt");
    EXPECT_EQ(archiver()->close_archive(h), 0);
    EXPECT_NE(archiver()->find_next(h, &info), 0) << "a closed handle is refused";
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::ValuesIn(formats),
                         [](const auto& info) { return std::string(info.param.ext); });

}  // namespace
