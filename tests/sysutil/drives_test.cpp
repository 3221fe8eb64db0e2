// Drive, volume and space queries on the machine's own file systems, with the
// drive map and the policy kept in a scratch registry.
#include "ostrel/sysutil.h"
#include "platform/win/winreg.h"
#include "sysutil/drives_internal.h"
#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Drives : public RegistryScratch {
protected:
    void TearDown() override
    {
        if (mounted_)
            umount2(mnt().c_str(), MNT_DETACH);
        sysutil_detail::set_disk_space_by_clusters(false);
        RegistryScratch::TearDown();
    }
    std::string mnt() const { return dir_ + "/mnt"; }
    // A 1 MiB tmpfs of the test's own; false when this system refuses mounts.
    bool mount_tmpfs()
    {
        std::filesystem::create_directory(mnt());
        mounted_ = mount("tmpfs", mnt().c_str(), "tmpfs", 0, "size=1m") == 0;
        return mounted_;
    }
    static std::string letter_text(const std::string& path)
    {
        const char l = drive_letter_of(path.c_str());
        return l ? std::string(1, l) + ":\\" : std::string();
    }
    bool mounted_ = false;
};

// df's answer for the file system holding path: free for the caller, size.
bool df_bytes(const std::string& path, double& avail, double& size)
{
    std::istringstream out(command_output("df -B1 --output=avail,size '" + path + "' 2>/dev/null"));
    std::string header;
    unsigned long long a = 0, s = 0;
    const bool ok = std::getline(out, header) && out >> a >> s;
    avail = static_cast<double>(a);
    size = static_cast<double>(s);
    return ok;
}

TEST_F(Drives, SpaceEqualsDfForTheRootAndTheTemporaryDirectory)
{
    const char* tmp = std::getenv("TMPDIR");
    for (const std::string path : {"/", tmp && *tmp ? tmp : "/tmp"}) {
        for (const std::string& text : {path, letter_text(path)}) {
            if (text.empty())
                continue;
            // Others may write meanwhile: only a df that did not move between
            // before and after binds the answer.
            int attempt = 0;
            for (double a0 = 0, s0, a1 = 1, s1, f, t, tf; a0 != a1; ++attempt) {
                if (attempt == 20)
                    GTEST_SKIP() << "free space of " << path << " kept changing";
                ASSERT_TRUE(df_bytes(path, a0, s0));
                disk_space(text.c_str(), &f, &t, &tf);
                ASSERT_TRUE(df_bytes(path, a1, s1));
                if (a0 == a1) {
                    EXPECT_EQ(f, a0) << text;
                    EXPECT_EQ(t, s0) << text;
                    EXPECT_GE(tf, f) << text;
                }
            }
        }
    }
}

TEST_F(Drives, ClustersAndSectorsGiveTheThirdOutputEqualToTheFirst)
{
    struct statvfs v;
    ASSERT_EQ(statvfs("/", &v), 0);
    sysutil_detail::set_disk_space_by_clusters(true);
    double free_ = -1, total = -1, total_free = -1;
    disk_space("c", &free_, &total, &total_free);
    const double sector = sector_size("C");
    const double bytes = static_cast<double>(v.f_blocks) * v.f_frsize;
    ASSERT_GE(sector, 512);
    EXPECT_GT(free_, 0);
    EXPECT_EQ(total_free, free_);
    EXPECT_EQ(std::fmod(total, sector), 0);
    EXPECT_LE(total, bytes);
    EXPECT_GT(total, bytes - sector * 64);
    EXPECT_EQ(disk_total("C"), total);
}

TEST_F(Drives, KindsNamesAndLabels)
{
    char letters[SYSUTIL_DRIVE_LETTERS];
    ASSERT_GE(drive_letters(letters), 1);
    EXPECT_EQ(letters[0], 'C');
    char no_drive[] = "Z:";
    while (std::strchr(letters, no_drive[0]))
        --no_drive[0];
    ASSERT_GT(no_drive[0], 'C');

    char name[SYSUTIL_DRIVE_TYPE_NAME] = "kept";
    EXPECT_EQ(drive_type(no_drive), DRIVE_NO_ROOT_DIR);
    EXPECT_STREQ(drive_type_name(no_drive, name), "kept");
    EXPECT_GE(drive_type("C"), DRIVE_REMOVABLE);
    EXPECT_STRNE(drive_type_name("c:", name), "kept");

    char upper[SYSUTIL_VOLUME_LABEL], lower[SYSUTIL_VOLUME_LABEL], cut[8];
    volume_label("C:\\", upper);
    volume_label("cthe rest is ignored", lower);
    EXPECT_STREQ(upper, lower);
    ASSERT_GT(std::strlen(upper), 2u);
    EXPECT_EQ(upper[std::strlen(upper) - 1], ']');
    volume_label("C", cut, sizeof cut);
    EXPECT_LT(std::strlen(cut), sizeof cut);
}

TEST_F(Drives, TmpfsIsARamDiskAndItsLetterGoesQuietWhenUnmounted)
{
    if (!mount_tmpfs())
        GTEST_SKIP() << "mounting a tmpfs is refused here: " << std::strerror(errno);
    const std::string d = letter_text(mnt());
    ASSERT_FALSE(d.empty()) << "a new file system gets a letter";
    struct statvfs v;
    ASSERT_EQ(statvfs(mnt().c_str(), &v), 0);
    char name[SYSUTIL_DRIVE_TYPE_NAME] = "";
    char label[SYSUTIL_VOLUME_LABEL];
    EXPECT_EQ(drive_type(d.c_str()), DRIVE_RAMDISK);
    EXPECT_EQ(drive_type(mnt().c_str()), DRIVE_RAMDISK);
    EXPECT_STREQ(drive_type_name(d.c_str(), name), "RAMﾃﾞｨｽｸ");
    EXPECT_STREQ(volume_label(d.c_str(), label), "[tmpfs]");
    EXPECT_EQ(volume_serial(d.c_str()), static_cast<DWORD>(v.f_fsid));
    EXPECT_EQ(disk_total(d.c_str()), 1024.0 * 1024.0);
    EXPECT_EQ(sector_size(d.c_str()), 512u);

    ASSERT_EQ(umount(mnt().c_str()), 0);
    mounted_ = false;
    double f = -1, t = -1, tf = -1;
    disk_space(d.c_str(), &f, &t, &tf);
    EXPECT_EQ(f + t + tf, 0.0);
    EXPECT_EQ(drive_type(d.c_str()), DRIVE_NO_ROOT_DIR);
    EXPECT_STREQ(volume_label(d.c_str(), label), "");
    EXPECT_EQ(volume_serial(d.c_str()), 0u);
    EXPECT_EQ(sector_size(d.c_str()), 0u);
    EXPECT_EQ(path_exists(d.c_str(), 0), 0);
    char root[SYSUTIL_MAX_PATH];
    ASSERT_EQ(drive_root(d.c_str(), root, sizeof root), 1) << "the letter is kept for its return";
    EXPECT_EQ(root, mnt());

    ASSERT_TRUE(mount_tmpfs());
    EXPECT_EQ(letter_text(mnt()), d);
    EXPECT_EQ(path_exists(d.c_str(), 0), 1);
}

TEST_F(Drives, TheMapSurvivesARestart)
{
    ASSERT_EQ(set_drive_root("q", "/media/someone/GONE/"), 1);
    const pid_t child = fork();
    if (child == 0) {
        char root[SYSUTIL_MAX_PATH] = "";
        const bool seen = drive_root("Q:", root, sizeof root) == 1 &&
                          std::strcmp(root, "/media/someone/GONE") == 0;
        _exit(seen && set_drive_root("R", "/mnt/later") == 1 ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    char root[SYSUTIL_MAX_PATH] = "";
    ASSERT_EQ(drive_root("r", root, sizeof root), 1);
    EXPECT_STREQ(root, "/mnt/later");
    EXPECT_EQ(drive_type("Q"), DRIVE_NO_ROOT_DIR);

    // Moving a mount point to another letter frees the old one; C stays put.
    ASSERT_EQ(set_drive_root("S", "/mnt/later"), 1);
    EXPECT_EQ(drive_root("R", root, sizeof root), 0);
    const char* const refused[][2] = {{"C", "/mnt"}, {"T", "/"}, {"T", "relative"}, {"1", "/mnt"}};
    for (const auto& r : refused)
        EXPECT_EQ(set_drive_root(r[0], r[1]), 0) << r[0] << " " << r[1];
    ASSERT_EQ(set_drive_root("S", nullptr), 1);
    EXPECT_EQ(drive_root("S", root, sizeof root), 0);
}

TEST_F(Drives, BadTextsFailQuietly)
{
    for (const char* text : {static_cast<const char*>(nullptr), "", "1", "?:\\", "\xff", "é", ":"}) {
        SCOPED_TRACE(text ? text : "(null)");
        double f = -1, t = -1, tf = -1;
        disk_space(text, &f, &t, &tf);
        EXPECT_EQ(f + t + tf, 0.0);
        EXPECT_EQ(disk_free(text), 0.0);
        EXPECT_EQ(sector_size(text), 0u);
        EXPECT_EQ(volume_serial(text), 0u);
        char buf[SYSUTIL_VOLUME_LABEL] = "old";
        EXPECT_STREQ(drive_type_name(text, buf), "old");
        EXPECT_STREQ(volume_label(text, buf), "");
        EXPECT_EQ(drive_type(text), DRIVE_NO_ROOT_DIR);
        EXPECT_EQ(drive_hidden(text), 0);
        EXPECT_EQ(compressed_size(text), 0.0);
        EXPECT_EQ(drive_letter_of(text), 0);
    }
    EXPECT_EQ(drive_type("/no/such/path"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(drive_type("/proc/self"), DRIVE_UNKNOWN);
    EXPECT_EQ(volume_label(nullptr, nullptr), nullptr);
}

TEST_F(Drives, CompressedSizeIsTheRoomTaken)
{
    const std::string path = dir_ + "/big";
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const off_t five_gib = 5LL << 30;
    const int allocated = posix_fallocate(fd, 0, five_gib);
    close(fd);
    if (allocated != 0)
        GTEST_SKIP() << "no room for 5 GiB here: " << std::strerror(allocated);
    EXPECT_EQ(compressed_size(path.c_str()), 5368709120.0);

    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    ASSERT_EQ(truncate(path.c_str(), five_gib), 0);
    EXPECT_LT(compressed_size(path.c_str()), 1.0e6) << "a sparse file takes almost nothing";
    EXPECT_EQ(file_size(path.c_str()), 5368709120.0);
    EXPECT_EQ(compressed_size(dir_.c_str()), 0.0);
}

TEST_F(Drives, HiddenByTheExplorerPolicy)
{
    const char* const texts[] = {"A", "c", "C:", "d", "D:\\", "E", "z", "/"};
    const struct { const char* what; std::vector<BYTE> value; int want[8]; } rows[] = {
        {"no value", {}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"first byte 8", {8, 0, 0, 0}, {0, 0, 0, 1, 1, 0, 0, 0}},
        {"D and Z", {8, 0, 0, 2}, {0, 0, 0, 1, 1, 0, 1, 0}},
        {"one byte", {8}, {0, 0, 0, 1, 1, 0, 0, 0}},
    };
    EXPECT_EQ(drive_hidden("D"), 0) << "no policy key";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& r : rows) {
        RegDeleteValueA(key, "NoDrives");
        if (!r.value.empty()) {
            ASSERT_EQ(RegSetValueExA(key, "NoDrives", 0, REG_BINARY, r.value.data(),
                                     static_cast<DWORD>(r.value.size())),
                      ERROR_SUCCESS);
        }
        for (std::size_t i = 0; i < std::size(texts); ++i)
            EXPECT_EQ(drive_hidden(texts[i]), r.want[i]) << r.what << ": " << texts[i];
    }
    RegCloseKey(key);
}

} // namespace
