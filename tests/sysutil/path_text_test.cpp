// Path helpers on '/': cut_extension, join_path, strip_backslash,
// copy_strip_backslash, add_backslash, path_name_part, path_dir_part,
// has_extension, is_drive_root, is_on_path.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(CutExtension, CutsTheNamePartAtItsLastDot)
{
    char s[] = "/data/a.b.txt";
    char* dot = cut_extension(s);
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot, s + 9);
    EXPECT_STREQ(s, "/data/a.b");
}

TEST(CutExtension, DotInADirectoryIsNotAnExtension)
{
    char s[] = "/da.ta/name";
    EXPECT_EQ(cut_extension(s), nullptr);
    EXPECT_STREQ(s, "/da.ta/name");
}

TEST(JoinPath, JoinsWithOneSeparator)
{
    char out[64];
    EXPECT_STREQ(join_path(out, "/data/", "/x.txt"), "/data/x.txt");
    EXPECT_STREQ(join_path(out, "/data", "x.txt"), "/data/x.txt");
    EXPECT_STREQ(join_path(out, "/data/  ", "x.txt  \r\n"), "/data/x.txt");
}

TEST(JoinPath, EmptyDirectoryGivesTheName)
{
    char out[64];
    EXPECT_STREQ(join_path(out, "", "x.txt"), "x.txt");
}

TEST(JoinPath, OutMayBeTheDirectory)
{
    char buf[64] = "/data/";
    EXPECT_STREQ(join_path(buf, buf, "x.txt"), "/data/x.txt");
}

TEST(StripBackslash, RemovesOneTrailingSeparator)
{
    char s[] = "/data//";
    strip_backslash(s);
    EXPECT_STREQ(s, "/data/");
    char t[] = "/data";
    strip_backslash(t);
    EXPECT_STREQ(t, "/data");
}

TEST(CopyStripBackslash, CopiesThenStrips)
{
    char out[32];
    EXPECT_STREQ(copy_strip_backslash("/data/", out), "/data");
}

TEST(AddBackslash, AppendsUnlessPresent)
{
    char s[32] = "/data";
    EXPECT_STREQ(add_backslash(s), "/data/");
    EXPECT_STREQ(add_backslash(s), "/data/");
    char out[32];
    EXPECT_EQ(add_backslash(s, out), out);
    EXPECT_STREQ(out, "/data/");
    char src[32] = "/x";
    add_backslash(src, out);
    EXPECT_STREQ(src, "/x");
    EXPECT_STREQ(out, "/x/");
}

TEST(PathNamePart, AfterTheLastSeparator)
{
    const char* p = "/data/x.txt";
    EXPECT_EQ(path_name_part(p), p + 6);
    const char* n = "x.txt";
    EXPECT_EQ(path_name_part(n), n);
    const char* colon = "a:b";   // a colon is an ordinary character here
    EXPECT_EQ(path_name_part(colon), colon);
}

TEST(PathDirPart, KeepsTheDirectoryWithItsSeparator)
{
    char out[32];
    EXPECT_STREQ(path_dir_part(const_cast<char*>("/data/x.txt"), out), "/data/");
    char s[32] = "/data/x.txt";
    EXPECT_STREQ(path_dir_part(s), "/data/");
    EXPECT_STREQ(s, "/data/");
}

TEST(PathDirPart, WithoutSeparatorAppendsOne)
{
    char s[32] = "x.txt";
    EXPECT_STREQ(path_dir_part(s), "x.txt/");
}

TEST(PathDirPart, TrailingSeparatorIsDroppedFirst)
{
    char s[32] = "/data/sub/";
    EXPECT_STREQ(path_dir_part(s), "/data/");
}

TEST(HasExtension, ComparesFromTheLastDotWithoutCase)
{
    EXPECT_EQ(has_extension("/d/a.b.txt", ".txt"), 1);
    EXPECT_EQ(has_extension("/d/a.b.TXT", " .txt "), 1);
    EXPECT_EQ(has_extension("/d/a.b.txt", ".b"), 0);
    EXPECT_EQ(has_extension("/d/a.txt/", ".txt"), 1);   // one trailing separator goes
    EXPECT_EQ(has_extension("/d.x/name", ".x"), 0);     // only the name part counts
}

TEST(HasExtension, DotAloneMeansNoExtension)
{
    EXPECT_EQ(has_extension("/d/name", "."), 1);
    EXPECT_EQ(has_extension("/d/name", ".txt"), 0);
    EXPECT_EQ(has_extension("/d/a.txt", "."), 0);
}

TEST(IsDriveRoot, OnlyTheFileSystemRoot)
{
    EXPECT_EQ(is_drive_root("/"), 1);
    EXPECT_EQ(is_drive_root("/x"), 0);
    EXPECT_EQ(is_drive_root(""), 0);
    EXPECT_EQ(is_drive_root("C:"), 0);
    EXPECT_EQ(is_drive_root(nullptr), 0);
}

class IsOnPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* p = std::getenv("PATH");
        had_ = p != nullptr;
        if (p)
            saved_ = p;
    }
    void TearDown() override
    {
        if (had_)
            setenv("PATH", saved_.c_str(), 1);
        else
            unsetenv("PATH");
    }
    bool had_ = false;
    std::string saved_;
};

TEST_F(IsOnPath, FindsWholeEntries)
{
    setenv("PATH", "/usr/local/bin:/usr/bin: /opt/x bin :/sbin", 1);
    EXPECT_EQ(is_on_path("/usr/bin"), 1);
    EXPECT_EQ(is_on_path("/sbin"), 1);
    EXPECT_EQ(is_on_path("/opt/x bin"), 1);
    EXPECT_EQ(is_on_path("/usr/local/bin"), 1);
}

TEST_F(IsOnPath, PartOfAnEntryIsNotOnThePath)
{
    setenv("PATH", "/usr/local/bin:/usr/bin", 1);
    EXPECT_EQ(is_on_path("/bin"), 0);
    EXPECT_EQ(is_on_path("/usr"), 0);
    EXPECT_EQ(is_on_path("/USR/BIN"), 0);   // file names keep their case
    EXPECT_EQ(is_on_path(""), 0);
}

TEST_F(IsOnPath, NoPath)
{
    unsetenv("PATH");
    EXPECT_EQ(is_on_path("/usr/bin"), 0);
}

} // namespace
