// Where the drive map is kept between runs: the registry store, one string
// value per letter (named by the letter, holding the mount point) under
// HKEY_CURRENT_USER\Software\ostrel\Drives. A save writes only what changed,
// so other processes' letters for other file systems are not disturbed.
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"
#include "platform/win/winreg.h"

#include <cstring>

namespace sysutil_detail {

namespace {

const char drives_key[] = "Software\\ostrel\\Drives";

bool is_letter_name(const char* name)
{
    return name[0] >= 'A' && name[0] <= 'Z' && name[1] == '\0';
}

} // namespace

DriveMap load_drive_map()
{
    DriveMap map;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, drives_key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return map;
    for (DWORD i = 0;; ++i) {
        char name[8];
        BYTE data[SYSUTIL_MAX_PATH + 1];
        DWORD name_chars = sizeof name;
        DWORD bytes = SYSUTIL_MAX_PATH;
        DWORD type = REG_NONE;
        const LONG status = RegEnumValueA(key, i, name, &name_chars, nullptr, &type, data, &bytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        // A value that is not a letter's, or too long to be a mount point, is
        // not ours to read; the rest of the map still is.
        if (status != ERROR_SUCCESS || type != REG_SZ || !is_letter_name(name))
            continue;
        data[bytes] = '\0';
        const char* mp = reinterpret_cast<const char*>(data);
        if (mp[0] == '/' && std::strlen(mp) < SYSUTIL_MAX_PATH)
            map[name[0]] = mp;
    }
    RegCloseKey(key);
    return map;
}

bool save_drive_map(const DriveMap& map)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, drives_key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DriveMap stored = load_drive_map();
    bool ok = true;
    for (const auto& [letter, mp] : stored) {
        if (!map.count(letter)) {
            const char name[] = {letter, '\0'};
            ok &= RegDeleteValueA(key, name) == ERROR_SUCCESS;
        }
    }
    for (const auto& [letter, mp] : map) {
        const auto old = stored.find(letter);
        if (old != stored.end() && old->second == mp)
            continue;
        const char name[] = {letter, '\0'};
        ok &= RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(mp.c_str()),
                             static_cast<DWORD>(mp.size() + 1)) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

} // namespace sysutil_detail
