// relative_path: a path relative to a base directory. Both are compared and
// answered in their own case (names differ by case on this file system).
#include "sysutil/fileops_internal.h"

#include <cstring>
#include <string>

using namespace sysutil_detail;

char* relative_path(const char* path, char* out, const char* base)
{
    if (!path_arg_ok(path) || !out || (base && *base && !path_arg_ok(base)))
        return nullptr;
    char abs[SYSUTIL_MAX_PATH];
    char dir[SYSUTIL_MAX_PATH + 1];
    char from[SYSUTIL_MAX_PATH + 1];
    if (!_abspath(path, abs) || !_abspath(base && *base ? base : nullptr, from))
        return nullptr;
    std::strcpy(dir, abs);
    path_dir_part(dir);            // the directory part, ending with '/'
    add_backslash(from);
    const char* name = abs + std::strlen(dir);
    // the common part, up to and including its last separator
    std::size_t common = 0;
    for (std::size_t k = 0; dir[k] && dir[k] == from[k]; ++k)
        if (dir[k] == '/')
            common = k + 1;
    if (common == 0)
        return nullptr;
    std::string r;
    for (const char* p = from + common; *p; ++p)
        if (*p == '/')
            r += "../";
    r += dir + common;
    r += name;
    if (r.size() >= SYSUTIL_MAX_PATH)
        return nullptr;
    std::memcpy(out, r.c_str(), r.size() + 1);
    return out;
}
