// Path helpers on '/': cut_extension, join_path, strip_backslash,
// copy_strip_backslash, add_backslash, path_name_part, path_dir_part,
// has_extension, is_drive_root, is_on_path.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The text left in a copy of `in` after `f`.
template <class F>
std::string edited(const char* in, F f)
{
    char buf[64];
    std::strcpy(buf, in);
    f(buf);
    return buf;
}

TEST(PathText, EditsInPlace)
{
    char s[] = "/data/a.b.txt";
    EXPECT_EQ(cut_extension(s), s + 9);
    EXPECT_STREQ(s, "/data/a.b");
    EXPECT_EQ(edited("/da.ta/name", [](char* b) { EXPECT_EQ(cut_extension(b), nullptr); }), "/da.ta/name");
    EXPECT_EQ(edited("/data//", [](char* b) { strip_backslash(b); }), "/data/");   // one separator goes
    EXPECT_EQ(edited("/data", [](char* b) { strip_backslash(b); }), "/data");
    EXPECT_EQ(edited("/data", [](char* b) { add_backslash(b); add_backslash(b); }), "/data/");
    // the directory part keeps its separator; a trailing one is dropped first; none: one appended
    for (auto [in, out] : {std::pair{"/data/x.txt", "/data/"}, {"x.txt", "x.txt/"}, {"/data/sub/", "/data/"}})
        EXPECT_EQ(edited(in, [](char* b) { EXPECT_EQ(path_dir_part(b), b); }), out);
}

TEST(PathText, CopiesIntoAnotherBuffer)
{
    char out[64];
    struct Row { const char* dir; const char* name; const char* joined; };
    for (const Row& r : {Row{"/data/", "/x.txt", "/data/x.txt"}, Row{"/data", "x.txt", "/data/x.txt"},
                         Row{"/data/  ", "x.txt  \r\n", "/data/x.txt"}, Row{"", "x.txt", "x.txt"}})
        EXPECT_STREQ(join_path(out, r.dir, r.name), r.joined) << r.dir << " " << r.name;
    char buf[64] = "/data/";
    EXPECT_STREQ(join_path(buf, buf, "x.txt"), "/data/x.txt");   // out may be the directory
    EXPECT_STREQ(copy_strip_backslash("/data/", out), "/data");
    char src[32] = "/x";
    EXPECT_EQ(add_backslash(src, out), out);
    EXPECT_STREQ(src, "/x");
    EXPECT_STREQ(out, "/x/");
    EXPECT_STREQ(path_dir_part(const_cast<char*>("/data/x.txt"), out), "/data/");
}

TEST(PathText, Queries)
{
    for (auto [p, at] : {std::pair{"/data/x.txt", 6}, {"x.txt", 0}, {"a:b", 0}})   // a colon is ordinary here
        EXPECT_EQ(path_name_part(p) - p, at) << p;
    struct Row { const char* path; const char* ext; int yes; };
    const Row rows[] = {
        {"/d/a.b.txt", ".txt", 1}, {"/d/a.b.TXT", " .txt ", 1}, {"/d/a.b.txt", ".b", 0},
        {"/d/a.txt/", ".txt", 1},   // one trailing separator goes
        {"/d.x/name", ".x", 0},     // only the name part counts
        {"/d/name", ".", 1},        // a dot alone means no extension
        {"/d/name", ".txt", 0},    {"/d/a.txt", ".", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(has_extension(r.path, r.ext), r.yes) << r.path << " " << r.ext;
    EXPECT_EQ(is_drive_root("/"), 1);
    for (const char* p : {"/x", "", "C:", static_cast<const char*>(nullptr)})
        EXPECT_EQ(is_drive_root(p), 0) << (p ? p : "null");
}

TEST(PathText, IsOnPathFindsWholeEntries)
{
    const char* p = std::getenv("PATH");
    const std::string saved = p ? p : "";
    setenv("PATH", "/usr/local/bin:/usr/bin: /opt/x bin :/sbin", 1);
    for (const char* on : {"/usr/bin", "/sbin", "/opt/x bin", "/usr/local/bin"})
        EXPECT_EQ(is_on_path(on), 1) << on;
    for (const char* off : {"/bin", "/usr", "/USR/BIN", ""})   // file names keep their case
        EXPECT_EQ(is_on_path(off), 0) << off;
    unsetenv("PATH");
    EXPECT_EQ(is_on_path("/usr/bin"), 0);
    if (p)
        setenv("PATH", saved.c_str(), 1);
}

} // namespace
