// Existence and type tests and the long form of a path: is_drive_path, is_dir,
// path_exists, long_path_name. Texts of the form letter-colon keep the drive
// rules; "/" is always a root that exists.
#include "sysutil/fileops_internal.h"

#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

using namespace sysutil_detail;

namespace {

bool is_letter_colon_root(const char* p)
{
    return std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
           (p[2] == '\0' || ((p[2] == '/' || p[2] == '\\') && p[3] == '\0'));
}

} // namespace

int is_drive_path(const char* path)
{
    return path && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' ? 1 : 0;
}

int is_dir(const char* path)
{
    struct stat st;
    // An entry that cannot be read counts as a directory, as the original
    // attribute test answered with all bits set.
    if (!path_arg_ok(path) || stat(without_trailing_slash(path).c_str(), &st) != 0)
        return 1;
    return S_ISDIR(st.st_mode) ? 1 : 0;
}

int path_exists(const char* path, int skip_hidden)
{
    if (!path_arg_ok(path))
        return 0;
    if (is_letter_colon_root(path)) {
        const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        char letters[SYSUTIL_DRIVE_LETTERS];
        drive_letters(letters);
        return std::strchr(letters, up) ? 1 : 0;
    }
    const std::string p = without_trailing_slash(path);
    if (p == "/")
        return 1;
    struct stat st;
    if (lstat(p.c_str(), &st) != 0)
        return 0;
    if (skip_hidden) {
        const char* name = path_name_part(p.c_str());
        if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            return 0;
    }
    return 1;
}

char* long_path_name(char* path)
{
    if (!path_arg_ok(path))
        return nullptr;
    if (is_drive_root(path) || is_letter_colon_root(path))
        return path;
    // Each name must exist where it stands, also one that a later ".." takes
    // back; ".." at the start of a relative path stays. The result is never
    // longer than the path.
    const bool absolute = path[0] == '/';
    std::vector<std::string> parts;
    const std::string all = path;
    auto joined = [&] {
        std::string out;
        out.reserve(all.size() + 1);
        if (absolute)
            out.push_back('/');
        for (std::size_t k = 0; k < parts.size(); ++k) {
            if (k > 0)
                out.push_back('/');
            out.append(parts[k].data(), parts[k].size());
        }
        return out;
    };
    std::size_t i = 0;
    while (i <= all.size()) {
        std::size_t j = all.find('/', i);
        if (j == std::string::npos)
            j = all.size();
        std::string part = all.substr(i, j - i);
        i = j + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && !parts.empty() && parts.back() != "..") {
            parts.pop_back();
            continue;
        }
        if (part == ".." && absolute)
            continue;
        parts.push_back(part);
        struct stat st;
        if (lstat(joined().c_str(), &st) != 0)
            return nullptr;
    }
    std::string out = joined();
    if (out.empty())
        out.push_back('.');
    std::memcpy(path, out.c_str(), out.size() + 1);
    return path;
}
