// shell_open: a file opened with a verb registered for its type (the verb's
// command line started with the path for %1), or with the desktop's default
// action (xdg-open) when the type has no such verb.
#include "ostrel/shell.h"
#include "ostrel/sysutil.h"
#include "platform/win/winreg.h"
#include "sysutil/registry_internal.h"
#include "sysutil/shell_internal.h"

#include <cstring>
#include <string>
#include <sys/stat.h>

using namespace shell_detail;

namespace {

// A relative path that begins with '-' would be read as an option by the
// program that gets it.
std::string as_argument(const char* path)
{
    return path[0] == '-' ? std::string("./") + path : std::string(path);
}

// The desktop's action for the file, given its absolute path: a relative name
// with a colon would be taken for an address.
void default_action(const char* absolute)
{
    start_program({"xdg-open", absolute});
}

// The command line registered for `verb` of the type that `name` (an extension
// or "Folder") names.
bool verb_command(const char* name, const std::string& verb, std::string* command)
{
    char type_name[SYSUTIL_TYPE_NAME];
    HKEY type = nullptr, shell = nullptr;
    if (!open_type_keys(name, type_name, &type, &shell))
        return false;
    HKEY verb_key = nullptr;
    bool ok = RegOpenKeyExA(shell, verb.c_str(), 0, KEY_READ, &verb_key) == ERROR_SUCCESS;
    ok = ok && registry_sysutil::read_default_text(verb_key, "command", command, SYSUTIL_TYPE_NAME);
    if (verb_key)
        RegCloseKey(verb_key);
    RegCloseKey(shell);
    RegCloseKey(type);
    return ok;
}

// The words of a verb's command line with the file put in: %1 and %L stand for
// it, %* for the further arguments (there are none); without any of them the
// file is the last argument.
bool command_words(const std::string& command, const std::string& file, std::vector<std::string>* words)
{
    if (!split_command_line(command.c_str(), *words))
        return false;
    bool named = false;
    std::vector<std::string> out;
    for (const std::string& w : *words) {
        std::string arg;
        for (std::size_t i = 0; i < w.size(); ++i) {
            const char next = i + 1 < w.size() ? w[i + 1] : '\0';
            if (w[i] == '%' && (next == '1' || next == 'L' || next == 'l')) {
                arg += file;
                named = true;
                ++i;
            } else if (w[i] == '%' && next == '*') {
                named = true;
                ++i;
            } else {
                arg += w[i];
            }
        }
        if (!arg.empty() || w != "%*")
            out.push_back(std::move(arg));
    }
    if (!named)
        out.push_back(file);
    *words = std::move(out);
    return !words->empty() && !(*words)[0].empty();
}

}  // namespace

int shell_open(const char* path, int verb)
{
    char absolute[SYSUTIL_MAX_PATH];
    if (!path || !*path || !_abspath(path, absolute))
        return 0;
    struct stat st;
    std::string type;
    if (stat(absolute, &st) == 0 && S_ISDIR(st.st_mode)) {
        type = "Folder";
    } else {
        const char* dot = std::strrchr(path_name_part(absolute), '.');
        if (!dot) {
            default_action(absolute);
            return 0;
        }
        type = dot;
    }
    std::string chosen;
    if (verb >= 0) {
        char keys[SYSUTIL_MAX_VERBS][SYSUTIL_VERB_SLOT], texts[SYSUTIL_MAX_VERBS][SYSUTIL_VERB_SLOT];
        const int n = list_verbs(type.c_str(), keys, texts);
        if (n > 0 && verb < n)
            chosen = keys[verb];
    } else {
        char name[SYSUTIL_TYPE_NAME];
        if (default_verb(type.c_str(), name))
            chosen = name;
    }
    std::string command;
    std::vector<std::string> words;
    if (!chosen.empty() && verb_command(type.c_str(), chosen, &command) &&
        command_words(command, as_argument(path), &words))
        start_program(words);
    else
        default_action(absolute);
    return 1;
}
