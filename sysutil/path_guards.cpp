// Argument checks and guards of the file operations: the path length limit,
// canonical paths for "is this the same place" questions, and the trees that
// are never removed (the root, the home directory, an empty text).
#include "sysutil/fileops_internal.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace sysutil_detail {

bool path_arg_ok(const char* path)
{
    return path && *path && std::strlen(path) < SYSUTIL_MAX_PATH;
}

std::string without_trailing_slash(const char* path)
{
    std::string s = path ? path : "";
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::string canonical_path(const char* path)
{
    char abs[SYSUTIL_MAX_PATH];
    if (!path_arg_ok(path) || !_abspath(path, abs))
        return {};
    // Resolve the longest prefix that exists (links included), keep the rest as
    // text: a target that does not exist yet still has a place.
    std::string head = abs;
    std::string tail;
    for (;;) {
        char real[PATH_MAX];
        if (realpath(head.c_str(), real)) {
            std::string r = real;
            if (!tail.empty())
                r += (r == "/" ? "" : "/") + tail;
            return r;
        }
        std::size_t slash = head.rfind('/');
        if (slash == std::string::npos)
            return {};
        std::string part = head.substr(slash + 1);
        tail = tail.empty() ? part : part + "/" + tail;
        head = slash == 0 ? "/" : head.substr(0, slash);
    }
}

bool is_within(const std::string& inner, const std::string& outer)
{
    if (inner.empty() || outer.empty())
        return false;
    if (outer == "/")
        return true;
    return inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == '/');
}

bool is_protected_tree(const char* path)
{
    if (!path || !*skip_spaces(path))
        return true;   // an empty text would name the current directory
    std::string c = canonical_path(path);
    if (c.empty() || c == "/")
        return true;
    const char* home = std::getenv("HOME");
    if (home && *home && c == canonical_path(home))
        return true;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir &&
                                             c == canonical_path(pw->pw_dir))
        return true;
    return false;
}

} // namespace sysutil_detail
