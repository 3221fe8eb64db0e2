// A file type's verbs as registered: open_type_keys, default_verb,
// open_command and list_verbs.
#include "ostrel/sysutil.h"
#include "sysutil/registry_internal.h"
#include "platform/win/winreg.h"

#include <cstring>

using namespace registry_sysutil;

namespace {

void copy_text(char* out, const std::string& text)
{
    std::memcpy(out, text.c_str(), text.size() + 1);
}

// The type's default verb, trimmed, "open" when blank; the keys stay closed.
bool find_default_verb(const char* name, std::string* verb)
{
    char type_name[SYSUTIL_TYPE_NAME];
    HKEY type = nullptr, shell = nullptr;
    if (!open_type_keys(name, type_name, &type, &shell))
        return false;
    std::string text;
    const bool ok = read_default_text(shell, nullptr, &text, SYSUTIL_TYPE_NAME);
    RegCloseKey(shell);
    RegCloseKey(type);
    if (!ok)
        return false;
    char work[SYSUTIL_TYPE_NAME];
    copy_text(work, text);
    trim(work);
    *verb = *work ? work : "open";
    return true;
}

} // namespace

int open_type_keys(const char* name, char* type_name, HKEY* type_key, HKEY* shell_key)
{
    if (!name || !type_name || !type_key || !shell_key)
        return 0;
    std::string type;
    if (std::strncmp(name, "Folder", 6) == 0) {
        if (std::strlen(name) >= SYSUTIL_TYPE_NAME)
            return 0;
        type = name;
    } else if (!read_default_text(HKEY_CLASSES_ROOT, name, &type, SYSUTIL_TYPE_NAME)) {
        return 0;
    }
    HKEY t = nullptr, s = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, type.c_str(), 0, KEY_ALL_ACCESS, &t) != ERROR_SUCCESS)
        return 0;
    if (RegOpenKeyExA(t, "shell", 0, KEY_ALL_ACCESS, &s) != ERROR_SUCCESS) {
        RegCloseKey(t);
        return 0;
    }
    copy_text(type_name, type);
    *type_key = t;
    *shell_key = s;
    return 1;
}

int default_verb(const char* name, char* out)
{
    std::string verb;
    if (!out || !find_default_verb(name, &verb))
        return 0;
    copy_text(out, verb);
    return 1;
}

int open_command(const char* name, char* out)
{
    std::string verb;
    if (!out || !find_default_verb(name, &verb))
        return 0;
    char type_name[SYSUTIL_TYPE_NAME];
    HKEY type = nullptr, shell = nullptr;
    if (!open_type_keys(name, type_name, &type, &shell))
        return 0;
    std::string command;
    HKEY verb_key = nullptr;
    bool ok = RegOpenKeyExA(shell, verb.c_str(), 0, KEY_READ, &verb_key) == ERROR_SUCCESS;
    ok = ok && read_default_text(verb_key, "command", &command, SYSUTIL_TYPE_NAME);
    if (verb_key)
        RegCloseKey(verb_key);
    RegCloseKey(shell);
    RegCloseKey(type);
    if (!ok)
        return 0;
    copy_text(out, command);
    return 1;
}

int list_verbs(const char* name, char verb_keys[][SYSUTIL_VERB_SLOT],
               char verb_texts[][SYSUTIL_VERB_SLOT])
{
    if (!verb_keys || !verb_texts)
        return 0;
    char type_name[SYSUTIL_TYPE_NAME];
    HKEY type = nullptr, shell = nullptr;
    if (!open_type_keys(name, type_name, &type, &shell))
        return 0;
    int count = 0;
    for (DWORD index = 0; count < SYSUTIL_MAX_VERBS; ++index) {
        DWORD chars = SYSUTIL_VERB_SLOT;
        const LONG status = RegEnumKeyExA(shell, index, verb_keys[count], &chars, nullptr,
                                          nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue;   // a name longer than its slot is left out, not cut
        if (status != ERROR_SUCCESS)
            break;
        ++count;
    }
    int result = count;
    for (int i = 0; i < count; ++i) {
        std::string text;
        if (!read_default_text(shell, verb_keys[i], &text, SYSUTIL_VERB_SLOT)) {
            result = 0;
            break;
        }
        copy_text(verb_texts[i], text);
        if (!*trim(verb_texts[i]))
            std::strcpy(verb_texts[i], verb_keys[i]);
    }
    RegCloseKey(shell);
    RegCloseKey(type);
    return result;
}
