// File operations, part one: tests and names, times and sizes, the walks and
// the lists by pattern, and the refusal of bad arguments.
#include "fileops_fixture.h"

#include <cstring>
#include <ctime>

using namespace fileops_test;

namespace {

const std::string kLong(SYSUTIL_MAX_PATH, 'a');

TEST_F(FileOps, TestsAndNames)
{
    write("d/.hidden");
    write("d/f.txt");
    EXPECT_EQ(is_drive_path("C:x"), 1);
    EXPECT_EQ(is_drive_path("/x"), 0);
    EXPECT_EQ(is_drive_path(nullptr), 0);
    EXPECT_EQ(is_dir(at("d").c_str()), 1);
    EXPECT_EQ(is_dir(at("d/f.txt").c_str()), 0);
    EXPECT_EQ(is_dir(at("missing").c_str()), 1);   // unreadable counts as a directory
    struct { std::string path; int skip_hidden, expected; } cases[] = {
        {"/", 0, 1}, {"C:", 0, 1}, {"c:/", 0, 1}, {"Q:", 0, 0}, {at("d/"), 0, 1},
        {at("d/.hidden"), 0, 1}, {at("d/.hidden"), 1, 0}, {at("d/f.txt"), 1, 1},
        {at("missing"), 0, 0}, {"", 0, 0}, {kLong, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(path_exists(c.path.c_str(), c.skip_hidden), c.expected) << c.path;
    EXPECT_EQ(path_exists(nullptr, 0), 0);

    char p[SYSUTIL_MAX_PATH];
    std::snprintf(p, sizeof p, "%s/d/./x/../f.txt", root_.c_str());
    EXPECT_EQ(long_path_name(p), nullptr);   // x does not exist
    std::snprintf(p, sizeof p, "%s/./d/../d/f.txt", root_.c_str());
    ASSERT_EQ(long_path_name(p), p);
    EXPECT_EQ(std::string(p), at("d/f.txt"));

    mkdirs("A/C");
    char out[SYSUTIL_MAX_PATH];
    ASSERT_NE(relative_path(at("A/B/x.txt").c_str(), out, at("A/C").c_str()), nullptr);
    EXPECT_STREQ(out, "../B/x.txt");   // the paths' own case
    EXPECT_EQ(relative_path(nullptr, out, nullptr), nullptr);
}

TEST_F(FileOps, WriteTimesRoundTripThroughLocalTime)
{
    write("t/old.txt");
    write("t/new.txt");
    mkdirs("empty");
    SYSTEMTIME old_time{2001, 2, 0, 3, 4, 5, 6, 7};
    SYSTEMTIME new_time{2020, 5, 0, 17, 10, 20, 30, 456};
    ASSERT_EQ(set_write_time(at("t/old.txt").c_str(), &old_time), 1);
    ASSERT_EQ(set_write_time(at("t/new.txt").c_str(), &new_time), 1);
    SYSTEMTIME got = local_write_time(at("t/new.txt").c_str());
    EXPECT_EQ(got.wYear, 2020);
    EXPECT_EQ(got.wDayOfWeek, 0);   // a Sunday
    EXPECT_EQ(got.wHour, 10);
    EXPECT_EQ(got.wMilliseconds, 456);
    EXPECT_EQ(newest_write_time(at("t").c_str()).wYear, 2020);

    struct tm tm{};
    tm.tm_year = 120, tm.tm_mon = 4, tm.tm_mday = 17, tm.tm_hour = 10, tm.tm_min = 20, tm.tm_sec = 30;
    tm.tm_isdst = -1;
    const uint64_t ticks = (static_cast<uint64_t>(mktime(&tm)) + 11644473600ull) * 10000000ull + 4560000;
    FILETIME ft = file_write_time(at("t/new.txt").c_str());
    EXPECT_EQ((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime, ticks);

    FILETIME none = file_write_time(at("missing").c_str());
    EXPECT_EQ(none.dwLowDateTime | none.dwHighDateTime, 0u);
    EXPECT_EQ(local_write_time(at("missing").c_str()).wYear, 0);
    EXPECT_EQ(newest_write_time(at("empty").c_str()).wYear, local_write_time(at("empty").c_str()).wYear);
    SYSTEMTIME bad{2020, 13, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(set_write_time(at("t/new.txt").c_str(), &bad), 0);
    EXPECT_EQ(set_write_time(at("t/new.txt").c_str(), nullptr), 0);
}

TEST_F(FileOps, SizeOfAFiveGibibyteSparseFile)
{
    const int fd = open(at("big").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 5368709120LL), 0);
    close(fd);
    double compressed = -1;
    EXPECT_EQ(file_size(at("big").c_str(), &compressed), 5368709120.0);
    EXPECT_EQ(compressed, 0.0);   // not a compressed file
    EXPECT_EQ(file_size(at("missing").c_str()), 0.0);
}

// Walk callbacks write what they saw into the record's result (a string).
std::string& seen(WalkRecord* r) { return *static_cast<std::string*>(r->result); }
int on_file(WalkRecord* r) { seen(r) += std::string("f:") + r->find_data.cFileName + " "; return 1; }
int on_before(WalkRecord* r) { seen(r) += std::string("b:") + r->find_data.cFileName + " "; return 1; }
int on_after(WalkRecord* r) { seen(r) += std::string("a:") + path_name_part(r->path) + "| "; return 1; }
int stop_files(WalkRecord* r) { on_file(r); return 0; }
int skip_b(WalkRecord* r) { return std::strcmp(r->find_data.cFileName, "b") == 0; }

TEST_F(FileOps, WalksReportInNameOrder)
{
    write("t/a.txt");
    write("t/b/c.txt");
    write("t/D.txt");
    write("t/b/e.bmp");
    mkdirs("t/z.dir");
    struct { const char* pattern; walk_callback file, skip; std::string expected; } cases[] = {
        {"*.*", on_file, nullptr, "f:a.txt b:b f:c.txt f:e.bmp a:| f:D.txt b:z.dir a:| a:| "},
        {"*", stop_files, nullptr, "f:a.txt a:| "},                   // 0 ends the directory's scan
        {"*.TXT", on_file, nullptr, "f:a.txt f:D.txt a:| "},          // b does not match
        {"*.*", on_file, skip_b, "f:a.txt f:D.txt b:z.dir a:| a:| "},
        {"*.zzz", on_file, nullptr, ""},                              // nothing at all
    };
    for (const auto& c : cases) {
        std::string s;
        WalkRecord rec{};
        rec.result = &s;
        EXPECT_EQ(walk_tree(at("t").c_str(), c.pattern, &rec, c.file, on_after, on_before, c.skip), 1);
        EXPECT_EQ(s, c.expected) << c.pattern;
    }
    // after-callbacks name each directory with its separator, the walked one last
    std::vector<std::string> after;
    WalkRecord rec{};
    rec.result = &after;
    walk_tree(at("t").c_str(), "*.*", &rec, nullptr,
              [](WalkRecord* r) { static_cast<std::vector<std::string>*>(r->result)->push_back(r->path); return 1; },
              nullptr, nullptr);
    EXPECT_EQ(after, (std::vector<std::string>{at("t/b/"), at("t/z.dir/"), at("t/")}));

    std::string s;
    rec.result = &s;
    EXPECT_EQ(walk_dir(at("t").c_str(), "*.*", &rec, on_file, on_before), 1);
    EXPECT_EQ(s, "f:a.txt b:b f:D.txt b:z.dir ");
    s.clear();
    EXPECT_EQ(walk_depth(0, at("t").c_str(), "*.*", &rec, on_file, on_before, nullptr, 5), 5);
    EXPECT_EQ(s, "f:a.txt b:b f:D.txt b:z.dir ");   // directories of the top go to the leaf callback
    write("t/b/x/y/f");
    EXPECT_EQ(walk_depth(1, at("t").c_str(), "*.*", &rec, nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(walk_depth(-1, at("t").c_str(), "*.*", nullptr, nullptr, nullptr, nullptr, 0), 3);
}

TEST_F(FileOps, ListsAndCountsByPattern)
{
    write("d/b.TXT", "1");
    write("d/a.txt", "2");
    write("d/c.bmp", "3");
    write("d/sub/d.txt", "4");
    write("d/.dot/e.txt", "5");
    char* names[4];
    char buffer[64];
    ASSERT_EQ(list_files(at("d").c_str(), "*.txt", names, 4, buffer, sizeof buffer), 2);
    EXPECT_STREQ(names[0], "a.txt");
    EXPECT_STREQ(names[1], "b.TXT");
    EXPECT_EQ(list_files(at("d").c_str(), "*.txt", names, 1, buffer, sizeof buffer), -1);
    EXPECT_EQ(list_files(at("d").c_str(), "*.txt", names, 4, buffer, 8), -1);
    EXPECT_EQ(count_files(at("d").c_str(), "*.*"), 3);   // directories are not counted
    EXPECT_EQ(count_files_tree(at("d/*.txt").c_str(), "*.*"), 4);
    EXPECT_EQ(count_files_tree(at("d/*.txt").c_str(), "s*"), 3);
    char out[SYSUTIL_MAX_PATH];
    ASSERT_EQ(find_in_tree(at("d").c_str(), "d.txt", out), 1);
    EXPECT_EQ(std::string(out), at("d/sub/d.txt"));
    EXPECT_EQ(find_in_tree(at("d").c_str(), "e.txt", out), 0);   // dot directories are passed by
}

TEST_F(FileOps, BadArgumentsAreRefused)
{
    write("d/f.txt");
    const std::string d = at("d");
    mkdirs("home");
    const char* real_home = std::getenv("HOME");
    const std::string saved_home = real_home ? real_home : "";
    const std::string fake_home = at("home");
    setenv("HOME", fake_home.c_str(), 1);   // never the real one, should the guard fail
    const char* home = fake_home.c_str();
    struct { const char* what; int got, expected; } cases[] = {
        {"is_dir null", is_dir(nullptr), 1},
        {"remove_file null", remove_file(nullptr), 0},
        {"remove_file empty", remove_file(""), 0},
        {"remove_file long", remove_file(kLong.c_str()), 0},
        {"make_dir long", make_dir((d + "/" + kLong).c_str()), 0},
        {"remove_dir null", remove_dir(nullptr), 0},
        {"copy_path null", copy_path(nullptr, d.c_str()), 0},
        {"move_path null", move_path(d.c_str(), nullptr), 0},
        {"remove_tree /", remove_tree("/"), 0},
        {"remove_tree empty", remove_tree(""), 0},
        {"remove_tree home", remove_tree(home), 0},
        {"remove_tree_abs /", remove_tree_abs("/"), 0},
        {"remove_tree_abs empty", remove_tree_abs(""), 0},
        {"remove_tree_abs spaces", remove_tree_abs("   "), 0},
        {"remove_tree_abs home", remove_tree_abs(home), 0},
        {"remove_files ..", remove_files("%s/..", d.c_str()), 0},
        {"remove_files empty name", remove_files("%s/", d.c_str()), 0},
        {"remove_files null", remove_files(nullptr), 0},
        {"remove_files long", remove_files("%s/%s", d.c_str(), kLong.c_str()), 0},
        {"remove_files_tree ..", remove_files_tree("%s/..", d.c_str()), 0},
        {"walk_tree pattern /", walk_tree(d.c_str(), "a/b", nullptr, on_file, nullptr, nullptr, nullptr), 0},
        {"walk_tree pattern ..", walk_tree(d.c_str(), "..", nullptr, on_file, nullptr, nullptr, nullptr), 0},
        {"walk_dir null", walk_dir(nullptr, "*", nullptr, nullptr, nullptr), 0},
        {"walk_depth null pattern", walk_depth(1, d.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, 0), -1},
        {"count_files pattern /", count_files(d.c_str(), "../*"), -1},
        {"count_files_tree null", count_files_tree(nullptr, "*"), -1},
        {"list_files null dir", list_files(nullptr, "*", nullptr, 0, nullptr, 0), -1},
        {"copy_files null", copy_files(nullptr), 0},
        {"copy_files one word", copy_files(d.c_str()), 0},
        {"copy_files ..", copy_files((d + "/.. " + at("x")).c_str()), 0},
        {"find_in_tree null", find_in_tree(d.c_str(), nullptr, nullptr), 0},
        {"file_size null", static_cast<int>(file_size(nullptr)), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.what;
    EXPECT_TRUE(exists("d/f.txt"));
    EXPECT_TRUE(exists("home"));
    setenv("HOME", saved_home.c_str(), 1);
    EXPECT_TRUE(traced_lines().empty());
}

} // namespace
