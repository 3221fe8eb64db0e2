// open_key_path: a key path's words opened (or made) level by level.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/registry_internal.h"
#include "platform/win/winreg.h"

namespace registry_sysutil {

std::string joined_levels(const std::vector<std::string>& words, std::size_t from, std::size_t to)
{
    std::string levels;
    for (std::size_t i = from; i < to; ++i)
        levels += (i > from ? "\\" : "") + words[i];
    return levels;
}

// Opening the levels one by one is opening them as one '\\'-separated path,
// which the store follows in one step. When a level is missing, every level
// below it is too: the deepest prefix that exists is found from the bottom up.
LONG open_deepest(const std::vector<std::string>& words, HKEY root, bool open_only,
                  std::size_t* have, HKEY* key)
{
    *key = nullptr;
    for (*have = words.size(); *have > 0; --*have) {
        const LONG status = RegOpenKeyExA(root, joined_levels(words, 0, *have).c_str(), 0,
                                          KEY_ALL_ACCESS, key);
        if (status != ERROR_FILE_NOT_FOUND || open_only)
            return status;
    }
    return ERROR_SUCCESS;   // no level exists: the root
}

LONG open_path(const char* key_path, HKEY root, bool open_only, HKEY* out)
{
    *out = nullptr;
    std::vector<std::string> words;
    if (!key_path_words(key_path, &words))
        return ERROR_INVALID_PARAMETER;
    std::size_t have = 0;
    HKEY current = nullptr;
    LONG status = open_deepest(words, root, open_only, &have, &current);
    if (status != ERROR_SUCCESS)
        return status;
    if (have == 0)
        current = root;
    for (std::size_t i = have; i < words.size(); ++i) {
        HKEY next = nullptr;
        sysutil_trace(" %s created\n", words[i].c_str());
        status = RegCreateKeyExA(current, words[i].c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &next, nullptr);
        // The levels on the way are nobody's: only the last key is handed out.
        if (current != root)
            RegCloseKey(current);
        if (status != ERROR_SUCCESS)
            return status;
        current = next;
    }
    *out = current;
    return ERROR_SUCCESS;
}

} // namespace registry_sysutil

HKEY open_key_path(const char* key_path, HKEY root, int open_only)
{
    HKEY key = nullptr;
    return registry_sysutil::open_path(key_path, root, open_only != 0, &key) == ERROR_SUCCESS ? key
                                                                                            : nullptr;
}
