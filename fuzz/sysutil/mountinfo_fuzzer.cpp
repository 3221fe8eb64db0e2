// The mount table parser and the letter assignment on arbitrary text: every
// entry it keeps has an absolute mount point, escapes round-trip, and the
// letters handed out stay within C to Z, one mount point each.
#include "sysutil/drives_internal.h"

#include <cstdint>
#include <set>
#include <string>

using namespace sysutil_detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<MountEntry> mounts = parse_mountinfo(text);
    for (const MountEntry& m : mounts) {
        if (m.mount_point.empty() || m.mount_point[0] != '/')
            __builtin_trap();
        if (unescape_octal(escape_octal(m.mount_point)) != m.mount_point)
            __builtin_trap();
        if (!mount_holding(mounts, m.mount_point) || !mounted_at(mounts, m.mount_point))
            __builtin_trap();
    }
    DriveMap map;
    assign_new_letters(map, mounts);
    std::set<std::string> seen;
    for (const auto& [letter, mp] : map) {
        if (letter < 'C' || letter > 'Z' || !seen.insert(mp).second)
            __builtin_trap();
    }
    if (assign_new_letters(map, mounts))
        __builtin_trap();   // a second look must change nothing
    return 0;
}
