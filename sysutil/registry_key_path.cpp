// open_key_path: a key path's words opened (or made) level by level.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/registry_internal.h"
#include "platform/win/winreg.h"

LONG registry_sysutil::open_path(const char* key_path, HKEY root, bool open_only, HKEY* out)
{
    *out = nullptr;
    std::vector<std::string> words;
    if (!key_path_words(key_path, &words))
        return ERROR_INVALID_PARAMETER;
    // Opening the levels one by one is opening them as one '\\'-separated path,
    // which the store follows in one step; only when a level is missing are
    // the levels walked, from the deepest one that exists, to make the rest.
    std::vector<std::string> prefixes(words.size());
    for (std::size_t i = 0; i < words.size(); ++i)
        prefixes[i] = (i ? prefixes[i - 1] + "\\" : std::string()) + words[i];
    std::size_t have = words.size();
    HKEY current = nullptr;
    LONG status = ERROR_FILE_NOT_FOUND;
    while (have > 0) {
        status = RegOpenKeyExA(root, prefixes[have - 1].c_str(), 0, KEY_ALL_ACCESS, &current);
        if (status != ERROR_FILE_NOT_FOUND || open_only)
            break;
        --have;
    }
    if (status == ERROR_SUCCESS && have == words.size()) {
        *out = current;
        return ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS && (status != ERROR_FILE_NOT_FOUND || open_only))
        return status;
    if (have == 0)
        current = root;
    for (std::size_t i = have; i < words.size(); ++i) {
        const std::string& word = words[i];
        HKEY next = nullptr;
        sysutil_trace(" %s created\n", word.c_str());
        status = RegCreateKeyExA(current, word.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
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

HKEY open_key_path(const char* key_path, HKEY root, int open_only)
{
    HKEY key = nullptr;
    return registry_sysutil::open_path(key_path, root, open_only != 0, &key) == ERROR_SUCCESS ? key
                                                                                            : nullptr;
}
