// Volume label and serial number. Both come from the file system's own
// superblock: first through the links udev publishes under /dev/disk (readable
// by everyone), then by probing the device with libblkid (which needs read
// access to it). A volume without a label still names its file-system type;
// one whose device cannot be read takes its serial from statvfs.
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"
#include "platform/utf8_cut.h"

#include <blkid/blkid.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

using namespace sysutil_detail;

namespace {

struct VolumeIds {
    std::string label;
    std::string uuid;
};

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// udev writes unsafe characters of a link name as \xHH.
std::string udev_decoded(const char* name)
{
    std::string out;
    for (std::size_t i = 0; name[i]; ++i) {
        if (name[i] == '\\' && name[i + 1] == 'x' && hex_value(name[i + 2]) >= 0 &&
            hex_value(name[i + 3]) >= 0) {
            out.push_back(static_cast<char>(hex_value(name[i + 2]) * 16 + hex_value(name[i + 3])));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

// The name of the link in dir that leads to the device, "" when none does.
std::string udev_link_to(const char* dir, dev_t dev)
{
    DIR* d = opendir(dir);
    if (!d)
        return {};
    std::string found;
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        struct stat st;
        const std::string path = std::string(dir) + "/" + e->d_name;
        if (stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode) && st.st_rdev == dev) {
            found = udev_decoded(e->d_name);
            break;
        }
    }
    closedir(d);
    return found;
}

void probe_device(const MountEntry& m, dev_t dev, VolumeIds& ids)
{
    std::string name = m.source;
    if (name.compare(0, 5, "/dev/") != 0) {
        char* n = blkid_devno_to_devname(dev);
        if (!n)
            return;
        name = n;
        std::free(n);
    }
    blkid_probe pr = blkid_new_probe_from_filename(name.c_str());
    if (!pr)
        return;   // not readable for this user: the published links were all
    blkid_probe_enable_superblocks(pr, 1);
    blkid_probe_set_superblocks_flags(pr, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID);
    if (blkid_do_safeprobe(pr) == 0) {
        const char* v = nullptr;
        if (ids.label.empty() && blkid_probe_lookup_value(pr, "LABEL", &v, nullptr) == 0 && v)
            ids.label = v;
        if (ids.uuid.empty() && blkid_probe_lookup_value(pr, "UUID", &v, nullptr) == 0 && v)
            ids.uuid = v;
    }
    blkid_free_probe(pr);
}

VolumeIds volume_ids(const MountEntry& m)
{
    VolumeIds ids;
    const dev_t dev = mount_device(m);
    if (dev == 0)
        return ids;
    ids.label = udev_link_to("/dev/disk/by-label", dev);
    ids.uuid = udev_link_to("/dev/disk/by-uuid", dev);
    if (ids.label.empty() || ids.uuid.empty())
        probe_device(m, dev, ids);
    return ids;
}

} // namespace

namespace sysutil_detail {

// A FAT volume's UUID is its serial ("1A2B-3C4D"); NTFS shows its 64-bit
// serial, of which the low half is the one known as the volume serial; other
// file systems give the first 32 bits of their UUID.
bool serial_from_uuid(const std::string& uuid, uint32_t& serial)
{
    std::string hex;
    for (char c : uuid) {
        if (hex_value(c) >= 0)
            hex.push_back(c);
        else if (c != '-')
            return false;
    }
    if (hex.size() < 8)
        return false;
    const std::size_t start = hex.size() == 16 ? 8 : 0;
    serial = 0;
    for (std::size_t i = start; i < start + 8; ++i)
        serial = serial * 16 + static_cast<uint32_t>(hex_value(hex[i]));
    return true;
}

} // namespace sysutil_detail

DWORD volume_serial(const char* drive)
{
    Drive d;
    if (!find_drive(drive, d))
        return 0;
    uint32_t serial = 0;
    if (serial_from_uuid(volume_ids(d.mount).uuid, serial))
        return serial;
    struct statvfs v;
    if (statvfs(d.path.c_str(), &v) != 0)
        return 0;
    return static_cast<DWORD>(v.f_fsid);
}

char* volume_label(const char* drive, char* out, size_t size)
{
    if (!out || size == 0)
        return out;
    out[0] = '\0';
    Drive d;
    if (!find_drive(drive, d))
        return out;
    const std::string type = "[" + d.mount.fs_type + "]";
    const std::string label = volume_ids(d.mount).label;
    // The label gives way so the type stays whole; a type too long for the
    // buffer is cut itself.
    std::string text;
    if (type.size() < size) {
        text.assign(label, 0, utf8_cut(label.data(), label.size(), size - 1 - type.size()));
        text += type;
    } else {
        text.assign(type, 0, utf8_cut(type.data(), type.size(), size - 1));
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}
