// Key paths: the word parser, open_key_path over it, and the text conventions
// of the association functions (null texts, '&' and '*' in verb texts).
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/registry_internal.h"
#include "platform/win/winreg.h"

#include <cstring>

namespace registry_sysutil {

bool key_path_words(const char* key_path, std::vector<std::string>* words)
{
    words->clear();
    if (!key_path)
        return false;
    const std::size_t length = std::strlen(key_path);
    if (length > SYSUTIL_MAX_KEY_PATH)
        return false;   // refused, never cut: a cut path names another key
    char copy[SYSUTIL_MAX_KEY_PATH + 1];
    std::memcpy(copy, key_path, length + 1);
    for (char* word = copy; word;) {
        char* rest = split_first(word);
        unquote(word);
        if (!*word || std::strchr(word, '"')) {
            words->clear();
            return false;
        }
        words->emplace_back(word);
        word = rest;
    }
    return !words->empty();
}

Verb derive_verb(const char* verb_text, const char* verb_key)
{
    Verb v;
    v.is_default = verb_text && *verb_text == '*';
    v.menu = verb_text ? verb_text + (v.is_default ? 1 : 0) : "";
    if (!is_null_text(verb_key)) {
        v.key = verb_key;
    } else {
        for (char c : v.menu)
            if (c != '&')
                v.key += c;
    }
    return v;
}

} // namespace registry_sysutil

int is_null_text(const char* text)
{
    return !text || !*text || std::strncmp(text, "NULL", 4) == 0 ? 1 : 0;
}

char* strip_ampersands(const char* source, char* target)
{
    if (!target)
        return nullptr;
    char* w = target;
    for (const char* r = source ? source : ""; *r; ++r)
        if (*r != '&')
            *w++ = *r;
    *w = '\0';
    return target;
}

LONG registry_sysutil::open_path(const char* key_path, HKEY root, bool open_only, HKEY* out)
{
    *out = nullptr;
    std::vector<std::string> words;
    if (!key_path_words(key_path, &words))
        return ERROR_INVALID_PARAMETER;
    HKEY current = root;
    for (const std::string& word : words) {
        HKEY next = nullptr;
        LONG status = RegOpenKeyExA(current, word.c_str(), 0, KEY_ALL_ACCESS, &next);
        // only a missing level is made; a store that fails stays failed
        if (status == ERROR_FILE_NOT_FOUND && !open_only) {
            sysutil_trace(" %s created\n", word.c_str());
            status = RegCreateKeyExA(current, word.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, &next, nullptr);
        }
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
