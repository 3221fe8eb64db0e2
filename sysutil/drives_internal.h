// Private pieces of the drive queries: the mount table as the kernel publishes
// it, the drive map that gives mounted file systems their letters, the block
// device behind a mount, and the switch between the two ways of counting space.
// The parsing and letter assignment are pure functions over text, so the
// tests and the fuzzer reach them without touching the machine's mounts.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sysutil_detail {

// ---- the mount table ----
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mount_point;   // unescaped, absolute
    std::string fs_type;       // "ext4", "fuse.sshfs", ...
    std::string source;        // "/dev/sda1", "server:/export", "tmpfs"
};

// The entries of /proc/self/mountinfo text, in order. Lines that do not have
// the shape of an entry are left out; octal escapes (\040 for a space, \011,
// \012, \134) are undone in the mount point and the source.
std::vector<MountEntry> parse_mountinfo(std::string_view text);
// Undoes the kernel's octal escapes; other backslashes stay.
std::string unescape_octal(std::string_view text);
// The reverse, for the characters that would break a line of the table.
std::string escape_octal(std::string_view text);
// The mount table of this process now (empty when unreadable).
std::vector<MountEntry> current_mounts();

// Kernel interfaces and other file systems that hold no user files.
bool is_pseudo_fs(const std::string& fs_type);
// Whether a mount earns a drive letter: not a pseudo file system and not
// mounted below /proc or /sys.
bool takes_letter(const MountEntry& m);
// The entry that a mount point shows now: the last (top) one mounted there.
const MountEntry* mounted_at(const std::vector<MountEntry>& mounts, const std::string& mount_point);
// The entry of the file system that holds an absolute, resolved path.
const MountEntry* mount_holding(const std::vector<MountEntry>& mounts, const std::string& path);

// ---- the drive map: upper-case letter -> mount point ----
using DriveMap = std::map<char, std::string>;

// The letter mapped to a mount point, 0 when none is.
char letter_at(const DriveMap& map, const std::string& mount_point);
// Gives every mount that takes a letter and has none the next free letter,
// D to Z in table order (C is always "/"). True when the map changed.
bool assign_new_letters(DriveMap& map, const std::vector<MountEntry>& mounts);

// Where the map is kept between runs.
DriveMap load_drive_map();
bool save_drive_map(const DriveMap& map);

// The map brought up to date with the mount table: loaded, new file systems
// lettered and, when that changed it, saved.
DriveMap synced_drive_map(const std::vector<MountEntry>& mounts);

// The drive a query text names: a text starting with '/' names the file
// system holding that path; otherwise the first character is the letter (either
// case). Null, empty, other first characters and letters without a mounted
// file system answer nothing.
struct Drive {
    MountEntry mount;
    std::string path;   // what to ask statvfs: the mount point or the given path
    char letter = 0;    // 0 for a path whose file system has no letter
};
bool find_drive(const char* text, Drive& out);

// ---- the device behind a mount ----
// The sysfs directory of the whole disk (a partition's parent), "" when none.
std::string disk_sysfs_dir(const MountEntry& m);
// The device number of the mount's block device (from the table, or from its
// source when the table gives an anonymous one); 0 when it has none.
dev_t mount_device(const MountEntry& m);
// Bytes per sector: the disk's logical block size, else 512.
uint32_t sector_bytes(const MountEntry& m);

// ---- volumes ----
// The serial a volume's UUID stands for; false when it is not a UUID.
bool serial_from_uuid(const std::string& uuid, uint32_t& serial);

// ---- space ----
// Counting through clusters and sectors instead of the byte counts; tests set
// it to reach that path.
void set_disk_space_by_clusters(bool on);
bool disk_space_by_clusters();

} // namespace sysutil_detail
