// Wildcard matching of names as the original file system matched them: '*' and
// '?', ASCII case ignored, "*.*" matching names with and without a dot.
#include "sysutil/fileops_internal.h"

#include <cstring>

namespace sysutil_detail {

namespace {

char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool pattern_ok(const char* pattern)
{
    return pattern && *pattern && !std::strchr(pattern, '/') && std::strcmp(pattern, ".") != 0 &&
           std::strcmp(pattern, "..") != 0 && std::strlen(pattern) < SYSUTIL_MAX_PATH;
}

bool has_wildcard(const char* text)
{
    return text && std::strpbrk(text, "*?") != nullptr;
}

bool split_pattern_path(const char* text, std::string& directory, std::string& pattern)
{
    if (!path_arg_ok(text) || !pattern_ok(path_name_part(text)))
        return false;
    char abs[SYSUTIL_MAX_PATH + 1];
    if (!_abspath(text, abs))
        return false;
    pattern = path_name_part(abs);
    if (!pattern_ok(pattern.c_str()))
        return false;
    abs[pattern.size() ? std::strlen(abs) - pattern.size() : std::strlen(abs)] = '\0';
    directory = abs;
    return !directory.empty();
}

bool wildcard_match(const char* pattern, const char* name)
{
    if ((pattern[0] == '*' && pattern[1] == '\0') || std::strcmp(pattern, "*.*") == 0)
        return true;
    // Iterative matcher with one backtrack point: linear in practice, never
    // exponential on patterns of many stars.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && fold(*pattern) == fold(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    // "name.*" also matches "name" (no dot), as on the original system.
    if (pattern[0] == '.' && pattern[1] == '*' && pattern[2] == '\0')
        return true;
    return *pattern == '\0';
}

} // namespace sysutil_detail
