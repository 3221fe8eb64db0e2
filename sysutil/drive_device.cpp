// The block device behind a mount, as sysfs shows it: the whole disk of a
// partition (whose flags and queue settings are the disk's), and its logical
// block size, which is what the drive queries call a sector.
#include "sysutil/drives_internal.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

namespace sysutil_detail {

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

} // namespace

dev_t mount_device(const MountEntry& m)
{
    if (m.major != 0)
        return makedev(m.major, m.minor);
    // Btrfs and some others show an anonymous number; the source names the
    // device then.
    struct stat st;
    if (m.source.compare(0, 5, "/dev/") == 0 && stat(m.source.c_str(), &st) == 0 &&
        S_ISBLK(st.st_mode))
        return st.st_rdev;
    return 0;
}

std::string disk_sysfs_dir(const MountEntry& m)
{
    const dev_t dev = mount_device(m);
    if (dev == 0)
        return {};
    const std::string link =
        "/sys/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    char buf[PATH_MAX];
    if (!realpath(link.c_str(), buf))
        return {};
    std::string dir = buf;
    if (exists(dir + "/partition")) {
        const std::size_t slash = dir.rfind('/');
        if (slash == std::string::npos || slash == 0)
            return {};
        dir.resize(slash);
    }
    return dir;
}

uint32_t sector_bytes(const MountEntry& m)
{
    const std::string dir = disk_sysfs_dir(m);
    if (!dir.empty()) {
        std::ifstream in(dir + "/queue/logical_block_size");
        unsigned long n = 0;
        if (in >> n && n >= 512 && n <= 65536 && (n & (n - 1)) == 0)
            return static_cast<uint32_t>(n);
    }
    return 512;
}

} // namespace sysutil_detail
