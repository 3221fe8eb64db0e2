// File associations: associate_type registers an extension's type, its icon
// and a verb; unassociate_type takes the icon and the verb away again. Both
// stop quietly at the first key they cannot have.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/registry_internal.h"
#include "platform/win/winreg.h"

using namespace registry_sysutil;

namespace {

constexpr std::size_t TYPE_NAME_LIMIT = SYSUTIL_TYPE_NAME;

// Closes the keys it holds at the end of the call.
struct Keys {
    HKEY extension = nullptr;
    HKEY type = nullptr;
    HKEY shell = nullptr;
    ~Keys()
    {
        for (HKEY k : {extension, type, shell})
            if (k)
                RegCloseKey(k);
    }
};

HKEY create_key(HKEY parent, const char* name)
{
    HKEY k = nullptr;
    return RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &k, nullptr) == ERROR_SUCCESS ? k : nullptr;
}

HKEY open_key(HKEY parent, const char* name)
{
    HKEY k = nullptr;
    return RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS ? k : nullptr;
}

std::string upper_ascii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

bool set_default_in(HKEY parent, const char* name, const std::string& text)
{
    HKEY k = create_key(parent, name);
    if (!k)
        return false;
    const bool ok = set_default_text(k, text) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

} // namespace

void associate_type(const char* name, const char* icon, const char* verb_text,
                    const char* command, const char* verb_key)
{
    if (is_null_text(name))
        return;
    Keys keys;
    std::string type_name, description;
    const bool is_extension = *name == '.';
    if (is_extension) {
        if (!read_default_text(HKEY_CLASSES_ROOT, name, &type_name, TYPE_NAME_LIMIT))
            type_name.clear();
        keys.extension = open_key(HKEY_CLASSES_ROOT, name);
        if (!keys.extension)
            keys.extension = create_key(HKEY_CLASSES_ROOT, name);
        if (!keys.extension)
            return;
        if (is_null_text(type_name.c_str())) {
            const std::string base = upper_ascii(name + 1);
            type_name = base + "file";
            description = base + " file";
            if (set_default_text(keys.extension, type_name) != ERROR_SUCCESS)
                return;
            keys.type = create_key(HKEY_CLASSES_ROOT, type_name.c_str());
            if (!keys.type || set_default_text(keys.type, description) != ERROR_SUCCESS)
                return;
        } else {
            keys.type = open_key(HKEY_CLASSES_ROOT, type_name.c_str());
            if (!keys.type)
                return;
            read_default_text(keys.type, nullptr, &description, TYPE_NAME_LIMIT);
        }
        sysutil_trace(" %s(%s)\n", type_name.c_str(), description.c_str());
        if (!is_null_text(icon) && !set_default_in(keys.type, "DefaultIcon", icon))
            return;
    } else {
        type_name = name;
        keys.type = open_key(HKEY_CLASSES_ROOT, name);
        if (!keys.type)
            return;
        read_default_text(keys.type, nullptr, &description, TYPE_NAME_LIMIT);
    }
    if (is_null_text(verb_text)) {
        if (is_extension)
            desktop_associate(name, type_name, description, nullptr, "");
        return;
    }
    const Verb verb = derive_verb(verb_text, verb_key);
    if (verb.key.empty())
        return;   // an empty key name would be "Shell" itself
    keys.shell = create_key(keys.type, "Shell");
    if (!keys.shell)
        return;
    if (verb.is_default && set_default_text(keys.shell, verb.key) != ERROR_SUCCESS)
        return;
    HKEY verb_key_handle = create_key(keys.shell, verb.key.c_str());
    if (!verb_key_handle)
        return;
    const std::string command_line = command ? command : "";
    const bool ok = set_default_text(verb_key_handle, verb.menu) == ERROR_SUCCESS
                    && set_default_in(verb_key_handle, "command", command_line);
    RegCloseKey(verb_key_handle);
    if (ok)
        desktop_associate(is_extension ? name : "", type_name, description, &verb, command_line);
}

void unassociate_type(const char* name, const char*, const char* verb_text, const char*,
                      const char* verb_key)
{
    if (is_null_text(name))
        return;
    Keys keys;
    std::string type_name, description;
    if (*name == '.') {
        if (!read_default_text(HKEY_CLASSES_ROOT, name, &type_name, TYPE_NAME_LIMIT))
            return;
        keys.extension = open_key(HKEY_CLASSES_ROOT, name);
        keys.type = keys.extension ? open_key(HKEY_CLASSES_ROOT, type_name.c_str()) : nullptr;
        if (!keys.type)
            return;
        read_default_text(keys.type, nullptr, &description, TYPE_NAME_LIMIT);
        sysutil_trace(" %s(%s)\n", type_name.c_str(), description.c_str());
    } else {
        type_name = name;
        keys.type = open_key(HKEY_CLASSES_ROOT, name);
        if (!keys.type)
            return;
    }
    if (is_null_text(verb_text))
        return;
    const Verb verb = derive_verb(verb_text, verb_key);
    if (verb.key.empty())
        return;
    RegDeleteTreeA(keys.type, "DefaultIcon");
    keys.shell = open_key(keys.type, "Shell");
    if (!keys.shell)
        return;
    // The verb goes with its command subkey.
    RegDeleteTreeA(keys.shell, verb.key.c_str());
    if (verb.is_default)
        RegDeleteValueA(keys.shell, nullptr);
    desktop_unassociate(type_name, verb);
}
