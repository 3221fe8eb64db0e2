// The kind of a drive and its display name. The kind follows from the file
// system's type (network, optical, memory) and, for the rest, from the disk:
// the kernel's removable flag, or a mount where the desktop mounts media.
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"

#include <cstring>
#include <fstream>

using namespace sysutil_detail;

namespace {

bool is_remote_fs(const std::string& t)
{
    static const char* const remote[] = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "9p", "afs", "ceph", "coda",
        "glusterfs", "lustre", "gfs2", "ocfs2", "davfs", "sshfs", "fuse.sshfs",
        "fuse.rclone", "fuse.s3fs", "fuse.davfs2", "fuse.glusterfs", "fuse.cephfs"};
    for (const char* r : remote)
        if (t == r)
            return true;
    return false;
}

bool below(const std::string& path, const char* dir)
{
    const std::size_t n = std::strlen(dir);
    return path.size() > n && path.compare(0, n, dir) == 0 && path[n] == '/';
}

bool disk_is_removable(const MountEntry& m)
{
    const std::string dir = disk_sysfs_dir(m);
    if (dir.empty())
        return false;
    std::ifstream in(dir + "/removable");
    int flag = 0;
    return (in >> flag) && flag == 1;
}

int kind_of(const MountEntry& m)
{
    const std::string& t = m.fs_type;
    if (is_pseudo_fs(t))
        return DRIVE_UNKNOWN;
    if (is_remote_fs(t))
        return DRIVE_REMOTE;
    if (t == "iso9660" || t == "udf")
        return DRIVE_CDROM;
    if (t == "tmpfs" || t == "ramfs")
        return DRIVE_RAMDISK;
    if (disk_is_removable(m) || below(m.mount_point, "/media") ||
        below(m.mount_point, "/run/media"))
        return DRIVE_REMOVABLE;
    return DRIVE_FIXED;
}

// Half-width katakana, as the names have always been shown.
const char* kind_name(int kind)
{
    switch (kind) {
    case DRIVE_REMOVABLE: return "ﾘﾑｰﾊﾞﾌﾞﾙ";
    case DRIVE_FIXED: return "固定";
    case DRIVE_REMOTE: return "ﾘﾓｰﾄ";
    case DRIVE_CDROM: return "CD-ROM";
    case DRIVE_RAMDISK: return "RAMﾃﾞｨｽｸ";
    default: return nullptr;
    }
}

} // namespace

int drive_type(const char* drive)
{
    // A text that names no drive has no root directory, as a made-up root
    // path never had one.
    Drive d;
    return find_drive(drive, d) ? kind_of(d.mount) : DRIVE_NO_ROOT_DIR;
}

char* drive_type_name(const char* drive, char* out, size_t size)
{
    const char* name = out ? kind_name(drive_type(drive)) : nullptr;
    if (name && std::strlen(name) < size)
        std::memcpy(out, name, std::strlen(name) + 1);
    return out;
}
