// Path text helpers on the platform separator '/': cut_extension, join_path,
// strip_backslash, copy_strip_backslash, add_backslash, path_name_part,
// path_dir_part, has_extension, is_drive_root, is_on_path.
#include "ostrel/sysutil.h"
#include "sysutil/text_internal.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using sysutil_detail::is_trim_space;

namespace {

constexpr char kSep = '/';
constexpr char kPathListSep = ':';

void trim_right_string(std::string& s)
{
    while (!s.empty() && is_trim_space(s.back()))
        s.pop_back();
}

void trim_string(std::string& s)
{
    trim_right_string(s);
    std::size_t first = s.find_first_not_of(' ');
    s.erase(0, first == std::string::npos ? s.size() : first);
}

char ascii_lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

char* path_name_part(const char* path)
{
    if (!path)
        return nullptr;
    const char* r = std::strrchr(path, kSep);
    return const_cast<char*>(r ? r + 1 : path);
}

char* cut_extension(char* path)
{
    if (!path)
        return nullptr;
    char* dot = std::strrchr(path_name_part(path), '.');
    if (!dot)
        return nullptr;
    *dot = '\0';
    return dot;
}

char* join_path(char* out, const char* directory, const char* name)
{
    if (!out)
        return nullptr;
    std::string n = name ? name : "";
    std::string r;
    if (!directory || !*directory) {
        r = n;
    } else {
        std::string d = directory;
        trim_right_string(d);
        if (!d.empty() && d.back() == kSep)
            d.pop_back();
        if (!n.empty() && n.front() == kSep)
            n.erase(0, 1);
        r = d + kSep + n;
        trim_right_string(r);
    }
    // built apart so that out may be the directory or the name
    std::memcpy(out, r.c_str(), r.size() + 1);
    return out;
}

char* strip_backslash(char* s)
{
    if (!s)
        return nullptr;
    std::size_t n = std::strlen(s);
    if (n > 0 && s[n - 1] == kSep)
        s[n - 1] = '\0';
    return s;
}

char* copy_strip_backslash(const char* source, char* out)
{
    if (!source || !out)
        return nullptr;
    std::memmove(out, source, std::strlen(source) + 1);
    return strip_backslash(out);
}

char* add_backslash(char* s, char* out)
{
    if (!s)
        return nullptr;
    char* t = s;
    if (out) {
        std::memmove(out, s, std::strlen(s) + 1);
        t = out;
    }
    std::size_t n = std::strlen(t);
    if (n == 0 || t[n - 1] != kSep) {
        t[n] = kSep;
        t[n + 1] = '\0';
    }
    return t;
}

char* path_dir_part(char* path, char* out)
{
    if (!path)
        return nullptr;
    char* t = path;
    if (out) {
        std::memmove(out, path, std::strlen(path) + 1);
        t = out;
    }
    strip_backslash(t);
    char* r = std::strrchr(t, kSep);
    if (r) {
        r[1] = '\0';
    } else {
        std::size_t n = std::strlen(t);
        t[n] = kSep;
        t[n + 1] = '\0';
    }
    return t;
}

int has_extension(const char* path, const char* extension)
{
    if (!path || !extension)
        return 0;
    std::string ext = extension;
    trim_string(ext);
    if (ext.empty())
        return 0;
    std::string p = path;
    if (!p.empty() && p.back() == kSep)
        p.pop_back();
    std::string_view name = path_name_part(p.c_str());
    std::size_t at = name.rfind(ext.front());
    if (at == std::string_view::npos)
        return ext == "." ? 1 : 0;
    std::string_view tail = name.substr(at);
    if (tail.size() != ext.size())
        return 0;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (ascii_lower(tail[i]) != ascii_lower(ext[i]))
            return 0;
    return 1;
}

int is_drive_root(const char* path)
{
    return path && path[0] == kSep && path[1] == '\0' ? 1 : 0;
}

int is_on_path(const char* directory)
{
    if (!directory || !*directory)
        return 0;
    const char* env = std::getenv("PATH");
    if (!env)
        return 0;
    std::string_view list = env;
    // Whole entries are compared: a directory that merely ends another entry
    // (/bin inside /usr/bin) is not on the path.
    while (true) {
        std::size_t colon = list.find(kPathListSep);
        std::string entry(list.substr(0, colon));
        trim_string(entry);
        if (entry == directory)
            return 1;
        if (colon == std::string_view::npos)
            return 0;
        list.remove_prefix(colon + 1);
    }
}
