// File operations, part two: removing, copying and moving, with the trace
// lines in their order; links that must not lead out of a tree; a tree too deep
// for any recursion; copy_tree and remove_tree of 2,000 files.
#include "fileops_fixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>

using namespace fileops_test;

namespace {

using Lines = std::vector<std::string>;

TEST_F(FileOps, RemovingTracesWhatWasRemoved)
{
    write("ro.txt");
    write("rw.txt");
    mkdirs("dir");
    ASSERT_EQ(chmod(at("ro.txt").c_str(), 0444), 0);
    EXPECT_EQ(remove_file(at("ro.txt").c_str()), 1);
    EXPECT_EQ(remove_file(at("rw.txt").c_str()), 1);
    EXPECT_EQ(remove_file(at("dir").c_str()), 0);      // fails even for root: a directory
    EXPECT_EQ(remove_file(at("gone").c_str()), 0);
    EXPECT_EQ(traced_lines(), (Lines{"..RM " + at("ro.txt") + "\n", "..rm " + at("rw.txt") + "\n"}));
    EXPECT_TRUE(exists("dir"));

    write("t/u/f.txt");
    traced().clear();
    EXPECT_EQ(remove_tree(at("t").c_str()), 1);
    EXPECT_EQ(traced_lines(), (Lines{"..rm " + at("t/u/f.txt") + "\n", "..rd " + at("t/u/") + "\n",
                                    "..rd " + at("t/") + "\n"}));
    EXPECT_FALSE(exists("t"));

    write("p/a.txt");
    write("p/b.TXT");
    write("p/c.bmp");
    write("p/s/d.txt");
    EXPECT_EQ(remove_files("%s/*.zzz", at("p").c_str()), 0);   // nothing matches: nothing done
    EXPECT_EQ(remove_files("%s/*.txt", at("p").c_str()), 1);
    EXPECT_TRUE(exists("p/c.bmp") && exists("p/s/d.txt") && !exists("p/a.txt") && !exists("p/b.TXT"));
    EXPECT_EQ(remove_files_tree("%s/*.txt", at("p").c_str()), 1);
    EXPECT_TRUE(exists("p/c.bmp") && !exists("p/s/d.txt"));
    EXPECT_EQ(make_dir(at("p/new").c_str()), 1);
    EXPECT_EQ(make_dir(at("p/new").c_str()), 0);
    EXPECT_EQ(remove_dir(at("p/new").c_str()), 1);
    EXPECT_EQ(traced_lines().back(), "..rd " + at("p/new") + "\n");
}

TEST_F(FileOps, MoveToAnotherFileSystemCopiesThenRemoves)
{
    struct stat a, b;
    ASSERT_EQ(stat(root_.c_str(), &a), 0);
    if (stat("/dev/shm", &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "the temporary directory and /dev/shm are one file system here";
    write("a.txt", "moved");
    const std::string target = "/dev/shm/ostrel-fileops-" + std::to_string(getpid()) + ".txt";
    write("b.txt");
    std::ofstream(target) << "there";
    EXPECT_EQ(move_path(at("b.txt").c_str(), target.c_str()), 0);   // the target exists
    EXPECT_TRUE(exists("b.txt"));
    EXPECT_TRUE(traced_lines().empty());
    unlink(target.c_str());
    ASSERT_EQ(move_path(at("a.txt").c_str(), target.c_str()), 1);
    EXPECT_EQ(traced_lines(), (Lines{"..cp " + at("a.txt") + " -> " + target + "\n", "..rm " + at("a.txt") + "\n",
                                    "..mv " + at("a.txt") + " -> " + target + "\n"}));
    EXPECT_FALSE(exists("a.txt"));
    std::string got;
    std::getline(std::ifstream(target), got);
    EXPECT_EQ(got, "moved");
    unlink(target.c_str());
}

TEST_F(FileOps, MoveAndCopyRefuseWhatCannotBeDone)
{
    write("a.txt", "a");
    write("b.txt", "b");
    write("d/x/f");
    EXPECT_EQ(move_path(at("a.txt").c_str(), at("b.txt").c_str()), 0);   // never replaces
    EXPECT_EQ(move_path(at("a.txt").c_str(), at("a.txt").c_str()), 0);
    EXPECT_EQ(move_path(at("d").c_str(), at("d/x/d").c_str()), 0);       // into itself
    EXPECT_EQ(copy_path(at("a.txt").c_str(), at("a.txt").c_str()), 0);
    EXPECT_EQ(copy_path(at("a.txt").c_str(), at("./a.txt").c_str()), 0);
    EXPECT_EQ(copy_tree(at("d").c_str(), at("d/x/copy").c_str()), 0);
    EXPECT_EQ(copy_tree(at("d").c_str(), at("d").c_str()), 0);
    EXPECT_EQ(copy_path(at("missing").c_str(), at("c.txt").c_str()), 0);
    EXPECT_FALSE(exists("d/x/copy"));
    EXPECT_TRUE(traced_lines().empty());
    ASSERT_EQ(move_path(at("a.txt").c_str(), at("c.txt").c_str()), 1);
    EXPECT_EQ(traced_lines(), (Lines{"..mv " + at("a.txt") + " -> " + at("c.txt") + "\n"}));
    ASSERT_EQ(copy_path(at("c.txt").c_str(), at("b.txt").c_str()), 1);   // overwrites a file
    std::string got;
    std::getline(std::ifstream(at("b.txt")), got);
    EXPECT_EQ(got, "a");

    write("src/1.txt", "1");
    write("src/2.TXT", "2");
    write("src/3.bmp", "3");
    mkdirs("dst");
    traced().clear();
    EXPECT_EQ(copy_files((at("src/*.zzz") + " " + at("dst")).c_str()), 0);
    EXPECT_EQ(copy_files((at("src/*.txt") + " " + at("dst")).c_str()), 1);
    EXPECT_EQ(traced_lines().size(), 2u);
    EXPECT_TRUE(exists("dst/1.txt") && exists("dst/2.TXT") && !exists("dst/3.bmp"));
    EXPECT_EQ(copy_files(("\"" + at("src/3.bmp") + "\" " + at("dst")).c_str()), 1);
    EXPECT_TRUE(exists("dst/3.bmp"));
}

TEST_F(FileOps, LinksNeverLeadOutOfTheTree)
{
    write("outside/keep.txt");
    write("t/f.txt");
    ASSERT_EQ(symlink(at("outside").c_str(), at("t/link").c_str()), 0);
    ASSERT_EQ(symlink("..", at("t/loop").c_str()), 0);
    EXPECT_EQ(count_files_tree(at("t/*").c_str(), "*"), 3);   // the links are entries, not directories
    EXPECT_EQ(walk_tree(at("t").c_str(), "*", nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(copy_tree(at("t").c_str(), at("c").c_str()), 1);
    char target[256] = {};
    ASSERT_GT(readlink(at("c/link").c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), at("outside"));   // copied as a link
    EXPECT_EQ(remove_tree(at("t/link").c_str()), 0);   // a link is no tree to walk
    EXPECT_EQ(remove_tree(at("t").c_str()), 1);
    EXPECT_EQ(remove_tree(at("c").c_str()), 1);
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_TRUE(exists("outside"));
}

TEST_F(FileOps, TenThousandLevelsAreWalkedWithoutRecursion)
{
    // on tmpfs where there is one: ext4 takes seconds per thousand levels
    char tmpl[] = "/dev/shm/ostrel-deep-XXXXXX";
    const std::string base = mkdtemp(tmpl) ? tmpl : at("");
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(mkdirat(fd, "deep", 0755), 0);
    for (int i = 0; i < 10000; ++i) {
        int next = openat(fd, i == 0 ? "deep" : "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
    }
    close(openat(fd, "bottom.txt", O_CREAT | O_WRONLY, 0644));
    close(fd);
    const std::string deep = base + "/deep";
    // the record cannot hold such paths: the walk is refused, cleanly
    EXPECT_EQ(walk_tree(deep.c_str(), "*", nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(count_files_tree((deep + "/*.txt").c_str(), "*"), 1);
    set_utility_hooks(nullptr, nullptr, nullptr, nullptr, nullptr);   // 10,001 long lines
    EXPECT_EQ(remove_tree(deep.c_str()), 1);
    struct stat st;
    EXPECT_NE(lstat(deep.c_str(), &st), 0);
    rmdir(tmpl);
}

// 2,000 files in 200 directories (two levels), with varied modes and times.
void make_big_tree(const std::string& top)
{
    for (int d = 0; d < 200; ++d) {
        std::string dir = top + "/g" + std::to_string(d / 20) + "/d" + std::to_string(d);
        std::filesystem::create_directories(dir);
        for (int f = 0; f < 10; ++f) {
            std::string p = dir + "/f" + std::to_string(f) + ".dat";
            std::ofstream(p, std::ios::binary) << std::string(static_cast<std::size_t>(d * 10 + f), char('a' + f));
            chmod(p.c_str(), f % 3 == 0 ? 0444 : 0640);
            const struct timespec t[2] = {{1000000000 + d, 0}, {1200000000 + d * 10 + f, 123456700}};
            utimensat(AT_FDCWD, p.c_str(), t, 0);
        }
    }
}

TEST_F(FileOps, CopyAndRemoveATreeOfTwoThousandFiles)
{
    make_big_tree(at("big"));
    ASSERT_EQ(copy_tree(at("big").c_str(), at("copy").c_str()), 1);
    EXPECT_EQ(std::system(("diff -r " + at("big") + " " + at("copy")).c_str()), 0);
    int files = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(at("big"))) {
        struct stat a, b;
        const std::string rel = e.path().string().substr(at("big").size());
        ASSERT_EQ(stat(e.path().c_str(), &a), 0);
        ASSERT_EQ(stat((at("copy") + rel).c_str(), &b), 0);
        EXPECT_EQ(a.st_mode, b.st_mode) << rel;
        EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec) << rel;
        EXPECT_EQ(a.st_mtim.tv_nsec, b.st_mtim.tv_nsec) << rel;
        files += S_ISREG(a.st_mode);
    }
    EXPECT_EQ(files, 2000);
    // copy: one "..md" per directory, parents first, then "..cp" once
    Lines copy_trace = traced_lines();
    ASSERT_EQ(copy_trace.size(), 212u);   // the top, 10 groups, 200 directories, "..cp"
    EXPECT_EQ(copy_trace.front(), "..md " + at("copy") + "\n");
    EXPECT_EQ(copy_trace.back(), "..cp " + at("big") + " -> " + at("copy") + "\n");
    EXPECT_EQ(std::set<std::string>(copy_trace.begin(), copy_trace.end()).size(), copy_trace.size());
    for (std::size_t i = 1; i + 1 < copy_trace.size(); ++i) {
        const std::string dir = copy_trace[i].substr(5, copy_trace[i].size() - 6);
        const std::string parent = dir.substr(0, dir.rfind('/'));
        EXPECT_NE(std::find(copy_trace.begin(), copy_trace.begin() + static_cast<long>(i),
                            "..md " + parent + "\n"), copy_trace.begin() + static_cast<long>(i)) << dir;
    }
    // remove: every file once, then every directory after its contents
    traced().clear();
    ASSERT_EQ(remove_tree(at("copy").c_str()), 1);
    const Lines rm = traced_lines();
    ASSERT_EQ(rm.size(), 2211u);
    EXPECT_EQ(std::set<std::string>(rm.begin(), rm.end()).size(), rm.size());
    const auto first_rd = std::find_if(rm.begin(), rm.end(), [](const std::string& l) { return l.rfind("..rd", 0) == 0; });
    EXPECT_EQ(first_rd - rm.begin(), 2000);   // the 2,000 files first
    EXPECT_EQ(rm[0], "..RM " + at("copy/g0/d0/f0.dat") + "\n");   // read-only
    EXPECT_EQ(rm[1], "..rm " + at("copy/g0/d0/f1.dat") + "\n");
    EXPECT_EQ(rm.back(), "..rd " + at("copy") + "/\n");
    EXPECT_FALSE(exists("copy"));
}

} // namespace
