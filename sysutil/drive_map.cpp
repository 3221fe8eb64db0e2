// The drive map: which letter names which mounted file system, kept between
// runs (drive_store) and brought up to date with the mount table on every
// query (drive_assign). Each query reads the mount table afresh, so a letter
// whose file system went away answers as a letter without a drive.
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace sysutil_detail {

namespace {

char letter_of_text(const char* text)
{
    const unsigned char c = static_cast<unsigned char>(text[0]);
    return c < 0x80 && std::isalpha(c) ? static_cast<char>(std::toupper(c)) : 0;
}

std::string resolved(const char* path)
{
    char buf[PATH_MAX];
    return realpath(path, buf) ? std::string(buf) : std::string();
}

} // namespace

DriveMap synced_drive_map(const std::vector<MountEntry>& mounts)
{
    DriveMap map = load_drive_map();
    if (assign_new_letters(map, mounts))
        save_drive_map(map);
    return map;
}

bool find_drive(const char* text, Drive& out)
{
    if (!text || !*text)
        return false;
    const std::vector<MountEntry> mounts = current_mounts();
    if (text[0] == '/') {
        const std::string path = resolved(text);
        const MountEntry* m = path.empty() ? nullptr : mount_holding(mounts, path);
        if (!m)
            return false;
        out.mount = *m;
        out.path = path;
        out.letter = takes_letter(*m) ? letter_at(synced_drive_map(mounts), m->mount_point) : 0;
        return true;
    }
    const char letter = letter_of_text(text);
    if (!letter)
        return false;
    const DriveMap map = synced_drive_map(mounts);
    const auto it = map.find(letter);
    const MountEntry* m = it == map.end() ? nullptr : mounted_at(mounts, it->second);
    if (!m || !takes_letter(*m))
        return false;
    out.mount = *m;
    out.path = m->mount_point;
    out.letter = letter;
    return true;
}

} // namespace sysutil_detail

using namespace sysutil_detail;

int drive_letters(char* out)
{
    if (!out)
        return 0;
    const std::vector<MountEntry> mounts = current_mounts();
    int n = 0;
    for (const auto& [letter, mp] : synced_drive_map(mounts)) {
        const MountEntry* m = mounted_at(mounts, mp);
        if (letter >= 'A' && letter <= 'Z' && m && takes_letter(*m))
            out[n++] = letter;
    }
    out[n] = '\0';
    return n;
}

int drive_root(const char* drive, char* out, size_t size)
{
    if (!drive || !out || size == 0)
        return 0;
    const char letter = letter_of_text(drive);
    if (!letter)
        return 0;
    const DriveMap map = synced_drive_map(current_mounts());
    const auto it = map.find(letter);
    if (it == map.end() || it->second.size() >= size)
        return 0;
    std::memcpy(out, it->second.c_str(), it->second.size() + 1);
    return 1;
}

int set_drive_root(const char* drive, const char* mount_point)
{
    const char letter = drive ? letter_of_text(drive) : 0;
    if (!letter || letter == 'C')
        return 0;
    const bool remove = !mount_point || !*mount_point;
    std::string mp;
    if (!remove) {
        if (mount_point[0] != '/' || std::strlen(mount_point) >= SYSUTIL_MAX_PATH)
            return 0;
        mp = mount_point;
        while (mp.size() > 1 && mp.back() == '/')
            mp.pop_back();
        if (mp == "/")
            return 0;   // the root is C's
    }
    DriveMap map = synced_drive_map(current_mounts());
    if (!remove) {
        // One letter for one file system: the letter it had is freed.
        if (const char old = letter_at(map, mp))
            map.erase(old);
        map[letter] = mp;
    } else {
        map.erase(letter);
    }
    return save_drive_map(map) ? 1 : 0;
}

char drive_letter_of(const char* path)
{
    Drive d;
    if (!path || path[0] != '/' || !find_drive(path, d))
        return 0;
    return d.letter;
}
