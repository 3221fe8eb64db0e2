// Values by key path: set_key_value, delete_key, read_key_value, read_key_text,
// and the default-value helpers the association functions share.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/registry_internal.h"
#include "platform/win/winreg.h"

#include <cstring>

namespace registry_sysutil {

bool read_default_text(HKEY key, const char* sub_key, std::string* out, std::size_t limit)
{
    HKEY k = nullptr;
    if (RegOpenKeyExA(key, sub_key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    std::vector<char> buf(limit + 1, '\0');
    DWORD size = DWORD(limit);
    DWORD type = REG_NONE;
    const LONG status = RegQueryValueExA(k, nullptr, nullptr, &type,
                                         reinterpret_cast<BYTE*>(buf.data()), &size);
    RegCloseKey(k);
    // A text that fills the whole limit without its terminator does not fit.
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)
        || !std::memchr(buf.data(), '\0', limit))
        return false;
    *out = buf.data();
    return true;
}

LONG set_default_text(HKEY key, const std::string& text)
{
    return RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          DWORD(text.size() + 1));
}

} // namespace registry_sysutil

namespace {

// A null or empty value name is the default value.
const char* value_name_or_default(const char* value_name)
{
    return value_name && *value_name ? value_name : nullptr;
}

} // namespace

LONG set_key_value(const char* key_path, const char* value_name, const char* text)
{
    std::vector<std::string> words;
    if (!registry_sysutil::key_path_words(key_path, &words))
        return ERROR_INVALID_PARAMETER;
    std::size_t have = 0;
    HKEY key = nullptr;
    if (const LONG status = registry_sysutil::open_deepest(words, HKEY_CLASSES_ROOT, false, &have, &key))
        return status;
    const char* t = text ? text : "";
    const DWORD bytes = DWORD(std::strlen(t) + 1);
    LONG status;
    if (have == words.size()) {
        status = RegSetValueExA(key, value_name_or_default(value_name), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(t), bytes);
    } else {
        // The missing levels (traced as open_key_path traces them) and the value
        // are made in one transaction.
        for (std::size_t i = have; i < words.size(); ++i)
            sysutil_trace(" %s created\n", words[i].c_str());
        status = RegSetKeyValueA(key ? key : HKEY_CLASSES_ROOT,
                                 registry_sysutil::joined_levels(words, have, words.size()).c_str(),
                                 value_name_or_default(value_name), REG_SZ, t, bytes);
    }
    if (key)
        RegCloseKey(key);
    return status;
}

LONG delete_key(const char* key_path, const char* subkey)
{
    if (is_null_text(subkey)) {
        if (!key_path || std::strlen(key_path) > SYSUTIL_MAX_KEY_PATH)
            return ERROR_INVALID_PARAMETER;
        return RegDeleteKeyA(HKEY_CLASSES_ROOT, key_path);
    }
    HKEY key = nullptr;
    if (const LONG status = registry_sysutil::open_path(key_path, HKEY_CLASSES_ROOT, true, &key))
        return status;
    const LONG status = RegDeleteKeyA(key, subkey);
    RegCloseKey(key);
    return status;
}

int read_key_value(void* buffer, DWORD buffer_size, DWORD* value_type, const char* value_name,
                   const char* key_path, HKEY root)
{
    if (!buffer)
        return 0;
    // Opening the path's levels and reading the value is one step of the store.
    std::vector<std::string> words;
    if (!registry_sysutil::key_path_words(key_path, &words))
        return 0;
    const std::string levels = registry_sysutil::joined_levels(words, 0, words.size());
    DWORD size = buffer_size;
    return RegGetValueA(root, levels.c_str(), value_name_or_default(value_name),
                        RRF_RT_ANY | RRF_NOEXPAND, value_type, buffer, &size) == ERROR_SUCCESS ? 1 : 0;
}

int read_key_text(char* out, const char* value_name, const char* key_path, HKEY root)
{
    if (!out)
        return 0;
    char text[SYSUTIL_KEY_TEXT + 1] = {};
    if (!read_key_value(text, SYSUTIL_KEY_TEXT, nullptr, value_name, key_path, root))
        return 0;
    // Refused rather than cut when the text and its terminator do not fit.
    if (!std::memchr(text, '\0', SYSUTIL_KEY_TEXT))
        return 0;
    std::strcpy(out, text);
    return 1;
}
