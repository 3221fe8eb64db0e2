// Letters for file systems seen for the first time: C is the root, the others
// take the next free letter from D on, in the order the mount table lists them
// (A and B stay free for the user to give, as floppy letters always were).
#include "sysutil/drives_internal.h"

#include <iterator>

namespace sysutil_detail {

char letter_at(const DriveMap& map, const std::string& mount_point)
{
    for (const auto& [letter, mp] : map)
        if (mp == mount_point)
            return letter;
    return 0;
}

bool assign_new_letters(DriveMap& map, const std::vector<MountEntry>& mounts)
{
    bool changed = false;
    for (auto it = map.begin(); it != map.end();) {
        const bool stray_root = it->first != 'C' && it->second == "/";
        changed |= stray_root;
        it = stray_root ? map.erase(it) : std::next(it);
    }
    if (const auto c = map.find('C'); c == map.end() || c->second != "/") {
        map.insert_or_assign('C', std::string(1, '/'));
        changed = true;
    }
    for (const MountEntry& m : mounts) {
        if (!takes_letter(m) || letter_at(map, m.mount_point))
            continue;
        for (char l = 'D'; l <= 'Z'; ++l) {
            if (!map.count(l)) {
                map.emplace(l, m.mount_point);
                changed = true;
                break;
            }
        }
    }
    return changed;
}

} // namespace sysutil_detail
