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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

class Drives : public RegistryScratch {
protected:
    void TearDown() override
    {
        if (!mounted_.empty())
            umount2(mounted_.c_str(), MNT_DETACH);
        sysutil_detail::set_disk_space_by_clusters(false);
        RegistryScratch::TearDown();
    }
    // A small tmpfs of the test's own; empty when this system refuses mounts.
    std::string mount_tmpfs()
    {
        const std::string at = dir_ + "/mnt";
        std::filesystem::create_directory(at);
        if (mount("tmpfs", at.c_str(), "tmpfs", 0, "size=1m") != 0)
            return {};
        mounted_ = at;
        return at;
    }
    bool unmount()
    {
        const bool ok = umount(mounted_.c_str()) == 0;
        mounted_.clear();
        return ok;
    }
    std::string letter_text(const std::string& path)
    {
        const char l = drive_letter_of(path.c_str());
        return l ? std::string(1, l) + ":\\" : std::string();
    }

    std::string mounted_;
};

// df's answer for the file system holding path: free for the caller, size.
bool df_bytes(const std::string& path, double& avail, double& size)
{
    const std::string cmd = "df -B1 --output=avail,size '" + path + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return false;
    char header[256];
    unsigned long long a = 0, s = 0;
    const bool ok = std::fgets(header, sizeof header, p) && std::fscanf(p, "%llu %llu", &a, &s) == 2;
    pclose(p);
    avail = static_cast<double>(a);
    size = static_cast<double>(s);
    return ok;
}

TEST_F(Drives, SpaceEqualsDfForTheRootAndTheTemporaryDirectory)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string temp = tmp && *tmp ? tmp : "/tmp";
    for (const std::string& path : {std::string("/"), temp}) {
        for (const std::string& text : {path, letter_text(path)}) {
            if (text.empty())
                continue;
            SCOPED_TRACE(text);
            // Others may write meanwhile: only a df that did not move between
            // before and after binds the answer.
            bool compared = false;
            for (int attempt = 0; attempt < 20 && !compared; ++attempt) {
                double a0, s0, a1, s1, free_, total, total_free;
                ASSERT_TRUE(df_bytes(path, a0, s0));
                disk_space(text.c_str(), &free_, &total, &total_free);
                ASSERT_TRUE(df_bytes(path, a1, s1));
                if (a0 != a1)
                    continue;
                EXPECT_EQ(free_, a0);
                EXPECT_EQ(total, s0);
                EXPECT_GE(total_free, free_);
                EXPECT_EQ(disk_total(text.c_str()), s0);
                compared = true;
            }
            if (!compared)
                GTEST_SKIP() << "free space of " << path << " kept changing";
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
    ASSERT_GE(sector, 512);
    EXPECT_GT(free_, 0);
    EXPECT_EQ(total_free, free_);
    EXPECT_EQ(std::fmod(total, sector), 0);
    EXPECT_LE(total, static_cast<double>(v.f_blocks) * v.f_frsize);
    EXPECT_GT(total, static_cast<double>(v.f_blocks) * v.f_frsize - sector * 64);
}

TEST_F(Drives, KindsNamesAndLabels)
{
    char letters[SYSUTIL_DRIVE_LETTERS];
    ASSERT_GE(drive_letters(letters), 1);
    EXPECT_EQ(letters[0], 'C');
    char missing = 0;
    for (char l = 'Z'; l > 'C' && !missing; --l)
        if (!std::strchr(letters, l))
            missing = l;
    ASSERT_NE(missing, 0);
    const char no_drive[] = {missing, ':', '\0'};

    char name[SYSUTIL_DRIVE_TYPE_NAME] = "kept";
    EXPECT_EQ(drive_type(no_drive), DRIVE_NO_ROOT_DIR);
    EXPECT_STREQ(drive_type_name(no_drive, name), "kept");

    const int root_kind = drive_type("C");
    EXPECT_GE(root_kind, DRIVE_REMOVABLE);
    EXPECT_STRNE(drive_type_name("c:", name), "kept");

    char upper[SYSUTIL_VOLUME_LABEL], lower[SYSUTIL_VOLUME_LABEL];
    volume_label("C:\\", upper);
    volume_label("cthe rest is ignored", lower);
    EXPECT_STREQ(upper, lower);
    const std::size_t n = std::strlen(upper);
    ASSERT_GT(n, 2u);
    EXPECT_EQ(upper[n - 1], ']');

    char cut[8];
    volume_label("C", cut, sizeof cut);
    EXPECT_LT(std::strlen(cut), sizeof cut);
}

TEST_F(Drives, TmpfsIsARamDiskAndItsLetterGoesQuietWhenUnmounted)
{
    const std::string at = mount_tmpfs();
    if (at.empty())
        GTEST_SKIP() << "mounting a tmpfs is refused here: " << std::strerror(errno);
    const std::string d = letter_text(at);
    ASSERT_FALSE(d.empty()) << "a new file system gets a letter";
    struct statvfs v;
    ASSERT_EQ(statvfs(at.c_str(), &v), 0);

    char name[SYSUTIL_DRIVE_TYPE_NAME] = "";
    char label[SYSUTIL_VOLUME_LABEL];
    EXPECT_EQ(drive_type(d.c_str()), DRIVE_RAMDISK);
    EXPECT_EQ(drive_type(at.c_str()), DRIVE_RAMDISK);
    EXPECT_STREQ(drive_type_name(d.c_str(), name), "RAMﾃﾞｨｽｸ");
    EXPECT_STREQ(volume_label(d.c_str(), label), "[tmpfs]");
    EXPECT_EQ(volume_serial(d.c_str()), static_cast<DWORD>(v.f_fsid));
    EXPECT_EQ(disk_total(d.c_str()), 1024.0 * 1024.0);
    EXPECT_EQ(sector_size(d.c_str()), 512u);

    ASSERT_TRUE(unmount());
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
    EXPECT_EQ(root, at);

    ASSERT_FALSE(mount_tmpfs().empty());
    EXPECT_EQ(letter_text(at), d);
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
    EXPECT_EQ(set_drive_root("C", "/mnt"), 0);
    EXPECT_EQ(set_drive_root("T", "/"), 0);
    EXPECT_EQ(set_drive_root("T", "relative"), 0);
    EXPECT_EQ(set_drive_root("1", "/mnt"), 0);
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
        EXPECT_STREQ(volume_label(text, buf), "");
        std::strcpy(buf, "old");
        EXPECT_STREQ(drive_type_name(text, buf), "old");
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
    const int without[] = {0, 0, 0, 0, 0, 0, 0, 0};
    const int first_byte_8[] = {0, 0, 0, 1, 1, 0, 0, 0};
    const int z_too[] = {0, 0, 0, 1, 1, 0, 1, 0};
    HKEY key = nullptr;
    auto check = [&](const int* want, const char* what) {
        for (std::size_t i = 0; i < std::size(texts); ++i)
            EXPECT_EQ(drive_hidden(texts[i]), want[i]) << what << ": " << texts[i];
    };
    check(without, "no policy key");
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    check(without, "no NoDrives value");
    const BYTE d_only[4] = {8, 0, 0, 0};
    ASSERT_EQ(RegSetValueExA(key, "NoDrives", 0, REG_DWORD, d_only, sizeof d_only), ERROR_SUCCESS);
    check(first_byte_8, "first byte 8");
    const BYTE d_and_z[4] = {8, 0, 0, 2};
    ASSERT_EQ(RegSetValueExA(key, "NoDrives", 0, REG_DWORD, d_and_z, sizeof d_and_z), ERROR_SUCCESS);
    check(z_too, "D and Z");
    const BYTE one_byte[1] = {8};
    ASSERT_EQ(RegSetValueExA(key, "NoDrives", 0, REG_BINARY, one_byte, 1), ERROR_SUCCESS);
    check(first_byte_8, "a one-byte value");
    ASSERT_EQ(RegDeleteValueA(key, "NoDrives"), ERROR_SUCCESS);
    check(without, "value removed");
    RegCloseKey(key);
}

} // namespace
