// The mount table parser, the letters new file systems get, and the serial a
// volume UUID stands for: pure functions over fixture text.
#include "sysutil/drives_internal.h"

#include <gtest/gtest.h>

using namespace sysutil_detail;

namespace {

const char* const table =
    "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "22 27 0:21 / /proc rw - proc proc rw\n"
    "25 24 0:23 / /dev/shm rw master:2 propagate_from:1 - tmpfs tmpfs rw\n"
    "31 23 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
    "40 27 8:17 / /media/u/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
    "41 27 0:44 / /net/home rw - nfs4 srv:/export\\134x rw\n"
    "garbage line\n"
    "42 27 8:1 / /no/dash rw ext4 /dev/sda1 rw\n"
    "43 27 x:1 / /bad/device rw - ext4 /dev/sda1 rw\n"
    "44 27 8:2 / relative rw - ext4 /dev/sda2 rw\n"
    "45 27 8:3 / /short rw - ext4\n"
    "46 27 8:5 / /no/options rw - ext4 /dev/sda5";

TEST(DriveMountTable, ParsesEntriesAndSkipsMalformedLines)
{
    const std::vector<MountEntry> m = parse_mountinfo(table);
    struct Row { const char* point; const char* type; const char* source; unsigned major, minor; };
    const Row want[] = {
        {"/", "ext4", "/dev/vda", 254, 0},
        {"/proc", "proc", "proc", 0, 21},
        {"/dev/shm", "tmpfs", "tmpfs", 0, 23},
        {"/sys/fs/cgroup", "tmpfs", "tmpfs", 0, 28},
        {"/media/u/MY STICK", "vfat", "/dev/sdb1", 8, 17},
        {"/net/home", "nfs4", "srv:/export\\x", 0, 44},
        {"/no/options", "ext4", "/dev/sda5", 8, 5},
    };
    ASSERT_EQ(m.size(), std::size(want));
    for (std::size_t i = 0; i < m.size(); ++i) {
        SCOPED_TRACE(want[i].point);
        EXPECT_EQ(m[i].mount_point, want[i].point);
        EXPECT_EQ(m[i].fs_type, want[i].type);
        EXPECT_EQ(m[i].source, want[i].source);
        EXPECT_EQ(m[i].major, want[i].major);
        EXPECT_EQ(m[i].minor, want[i].minor);
    }
}

TEST(DriveMountTable, EscapesRoundTripAndLoneBackslashesStay)
{
    const struct { const char* raw; const char* text; } rows[] = {
        {"a\\040b\\011c\\012d\\134e", "a b\tc\nd\\e"},
        {"end\\04", "end\\04"},
        {"\\x41\\999", "\\x41\\999"},
        {"\\000", "\\000"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(unescape_octal(r.raw), r.text) << r.raw;
        EXPECT_EQ(unescape_octal(escape_octal(r.text)), r.text) << r.raw;
    }
}

TEST(DriveMountTable, MountHoldingAPathIsTheLongestTopMost)
{
    const std::vector<MountEntry> m = parse_mountinfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:2 / /home rw - ext4 /dev/sda2 rw\n"
        "3 1 8:3 / /home rw - xfs /dev/sda3 rw\n"
        "4 1 8:4 / /homework rw - ext4 /dev/sda4 rw\n");
    const struct { const char* path; const char* type; unsigned minor; } rows[] = {
        {"/", "ext4", 1}, {"/home", "xfs", 3}, {"/home/u/x", "xfs", 3},
        {"/homework/a", "ext4", 4}, {"/hom", "ext4", 1},
    };
    for (const auto& r : rows) {
        const MountEntry* e = mount_holding(m, r.path);
        ASSERT_NE(e, nullptr) << r.path;
        EXPECT_EQ(e->minor, r.minor) << r.path;
        EXPECT_EQ(e->fs_type, r.type) << r.path;
    }
    EXPECT_EQ(mounted_at(m, "/home")->minor, 3u);
    EXPECT_EQ(mounted_at(m, "/home/u"), nullptr);
}

TEST(DriveLetters, NewFileSystemsTakeTheNextFreeLetter)
{
    const std::vector<MountEntry> mounts = parse_mountinfo(table);
    DriveMap map;
    EXPECT_TRUE(assign_new_letters(map, mounts));
    EXPECT_EQ(map, (DriveMap{{'C', "/"}, {'D', "/dev/shm"}, {'E', "/media/u/MY STICK"},
                             {'F', "/net/home"}, {'G', "/no/options"}}));
    EXPECT_FALSE(assign_new_letters(map, mounts)) << "a second look changes nothing";

    // Letters of file systems not mounted now stay taken; the stray root goes.
    DriveMap kept{{'D', "/media/u/OLD"}, {'F', "/net/home"}, {'H', "/"}};
    EXPECT_TRUE(assign_new_letters(kept, mounts));
    EXPECT_EQ(kept, (DriveMap{{'C', "/"}, {'D', "/media/u/OLD"}, {'E', "/dev/shm"},
                              {'F', "/net/home"}, {'G', "/media/u/MY STICK"}, {'H', "/no/options"}}));
}

TEST(DriveLetters, NoLetterIsGivenBeyondZ)
{
    DriveMap map;
    for (char l = 'D'; l <= 'Z'; ++l)
        map[l] = std::string("/m/") + l;
    const DriveMap before = map;
    assign_new_letters(map, parse_mountinfo("1 0 8:1 / /extra rw - ext4 /dev/sda1 rw\n"));
    map.erase('C');
    EXPECT_EQ(map, before);
}

TEST(DriveVolumes, SerialFromUuid)
{
    const struct { const char* uuid; bool ok; uint32_t serial; } rows[] = {
        {"1A2B-3C4D", true, 0x1A2B3C4Du},
        {"0123456789ABCDEF", true, 0x89ABCDEFu},
        {"3e6be9de-8139-11d1-9106-a43f08d823a6", true, 0x3e6be9deu},
        {"1234567", false, 0}, {"", false, 0}, {"zz6be9de-8139", false, 0},
    };
    for (const auto& r : rows) {
        uint32_t s = 0;
        EXPECT_EQ(serial_from_uuid(r.uuid, s), r.ok) << r.uuid;
        if (r.ok) {
            EXPECT_EQ(s, r.serial) << r.uuid;
        }
    }
}

} // namespace
