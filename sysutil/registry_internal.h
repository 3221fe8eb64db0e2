// Private helpers of the association and registry functions: the key-path
// parser, default values by key name, verb names, and the desktop's side of an
// association (sysutil/registry_desktop.cpp).
#pragma once
#include "ostrel/registry.h"

#include <string>
#include <vector>

namespace registry_sysutil {

// The words of a key path (split_first and unquote). False, with no words, for
// a null path, a path over SYSUTIL_MAX_KEY_PATH bytes, no word at all, an empty
// word or a word with a quote left after unquoting (an unbalanced quote).
bool key_path_words(const char* key_path, std::vector<std::string>* words);
// open_key_path with the registry's status: ERROR_INVALID_PARAMETER for a
// refused path, ERROR_FILE_NOT_FOUND for a missing level when open_only.
LONG open_path(const char* key_path, HKEY root, bool open_only, HKEY* out);
// The deepest prefix of the words that exists below root: *have words, *key
// its key (null when no level exists). With open_only, a missing level is
// ERROR_FILE_NOT_FOUND at once.
LONG open_deepest(const std::vector<std::string>& words, HKEY root, bool open_only,
                  std::size_t* have, HKEY* key);
// words[from .. to) as one '\'-separated subkey.
std::string joined_levels(const std::vector<std::string>& words, std::size_t from, std::size_t to);

// The default value of `sub_key` below `key` as text, when it is a text that
// fits `limit` bytes with its terminator.
bool read_default_text(HKEY key, const char* sub_key, std::string* out, std::size_t limit);
// Sets the default value of a key to a text.
LONG set_default_text(HKEY key, const std::string& text);

// The menu text (the verb text without a leading '*') and the verb key name (the
// given one, or the menu text without '&').
struct Verb {
    std::string menu;
    std::string key;
    bool is_default;
};
Verb derive_verb(const char* verb_text, const char* verb_key);

// The desktop's view of an association: the extension's MIME type (a
// mime/packages file), a desktop entry per verb, the default verb as the type's
// default application. Refreshes the desktop's databases when their tools exist.
void desktop_associate(const std::string& extension, const std::string& type_name,
                       const std::string& description, const Verb* verb,
                       const std::string& command);
void desktop_unassociate(const std::string& type_name, const Verb& verb);
// A verb's command line as the Exec value of a desktop entry ("%1" becomes the
// file argument).
std::string exec_line_of(const std::string& command);

} // namespace registry_sysutil
