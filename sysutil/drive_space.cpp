// Free and total space of a drive and its sector size, from statvfs. The byte
// counts come straight from the file system; the other way counts clusters
// (the fragment size, in whole sectors) and multiplies back, as systems that
// only know clusters answer. Both stay: the switch picks the second.
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"

#include <sys/statvfs.h>

namespace sysutil_detail {

namespace {
bool by_clusters = false;
}

void set_disk_space_by_clusters(bool on) { by_clusters = on; }
bool disk_space_by_clusters() { return by_clusters; }

} // namespace sysutil_detail

using namespace sysutil_detail;

namespace {

struct Space {
    uint64_t free_to_caller = 0;
    uint64_t total = 0;
    uint64_t total_free = 0;
};

void bytes_space(const struct statvfs& v, Space& s)
{
    s.free_to_caller = static_cast<uint64_t>(v.f_bavail) * v.f_frsize;
    s.total = static_cast<uint64_t>(v.f_blocks) * v.f_frsize;
    s.total_free = static_cast<uint64_t>(v.f_bfree) * v.f_frsize;
}

// Sectors per cluster, bytes per sector, free and total clusters; the third
// figure is the first, as clusters know no reserve.
void cluster_space(const struct statvfs& v, const MountEntry& m, Space& s)
{
    const uint64_t sector = sector_bytes(m);
    const uint64_t per_cluster = v.f_frsize >= sector ? v.f_frsize / sector : 1;
    const uint64_t cluster = per_cluster * sector;
    const uint64_t free_clusters = static_cast<uint64_t>(v.f_bavail) * v.f_frsize / cluster;
    const uint64_t total_clusters = static_cast<uint64_t>(v.f_blocks) * v.f_frsize / cluster;
    s.free_to_caller = sector * per_cluster * free_clusters;
    s.total = sector * per_cluster * total_clusters;
    s.total_free = s.free_to_caller;
}

bool query_space(const char* drive, Space& s)
{
    Drive d;
    struct statvfs v;
    if (!find_drive(drive, d) || statvfs(d.path.c_str(), &v) != 0 || v.f_frsize == 0)
        return false;
    if (disk_space_by_clusters())
        cluster_space(v, d.mount, s);
    else
        bytes_space(v, s);
    return true;
}

} // namespace

void disk_space(const char* drive, double* free_to_caller, double* total, double* total_free)
{
    Space s;
    if (!query_space(drive, s))
        s = Space{};
    if (free_to_caller)
        *free_to_caller = static_cast<double>(s.free_to_caller);
    if (total)
        *total = static_cast<double>(s.total);
    if (total_free)
        *total_free = static_cast<double>(s.total_free);
}

double disk_total(const char* drive)
{
    double t = 0;
    disk_space(drive, nullptr, &t, nullptr);
    return t;
}

double disk_free(const char* drive)
{
    double f = 0;
    disk_space(drive, &f, nullptr, nullptr);
    return f;
}

DWORD sector_size(const char* drive)
{
    Drive d;
    struct statvfs v;
    if (!find_drive(drive, d) || statvfs(d.path.c_str(), &v) != 0)
        return 0;
    return sector_bytes(d.mount);
}
