// The texts of the association functions, without the registry: the key-path
// parser, null texts, and '&' and '*' in verb texts.
#include "ostrel/sysutil.h"
#include "sysutil/registry_internal.h"

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

