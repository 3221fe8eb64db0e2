// Absolute paths against the current (or a given base) directory, and the
// scope guard that keeps the current directory.
//
// The full path is resolved by text, as the system's full-path call does: the
// named file need not exist, "." and ".." are folded, symbolic links are kept.
#include "ostrel/sysutil.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string current_directory()
{
    std::vector<char> buf(4096);
    for (;;) {
        if (getcwd(buf.data(), buf.size()))
            return buf.data();
        if (errno != ERANGE || buf.size() > (1u << 20))
            return {};
        buf.resize(buf.size() * 2);
    }
}

// "" when the text cannot be made a path.
std::string full_path_name(const std::string& path, const std::string& cwd)
{
    if (path.empty())
        return {};
    std::string whole = path[0] == '/' ? path : cwd + "/" + path;
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= whole.size()) {
        std::size_t j = whole.find('/', i);
        if (j == std::string::npos)
            j = whole.size();
        std::string part = whole.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        i = j + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

bool change_directory(const char* path)
{
    return path && *path && chdir(path) == 0;
}

} // namespace

char* _abspath(const char* path, char* out, const char* base_directory)
{
    if (!out)
        return nullptr;
    const std::string recorded = current_directory();
    const bool based = base_directory && *base_directory;
    if (based && !change_directory(base_directory)) {
        msgbox_info("_abspath", "ref=%sが不正です", base_directory);
        return nullptr;
    }
    std::string result;
    if (!path) {
        result = recorded;
    } else if (!*skip_spaces(path)) {
        result = current_directory();
    } else {
        std::vector<char> t(path, path + std::strlen(path) + 1);
        unquote(t.data());
        if (!is_drive_root(t.data()))
            strip_backslash(t.data());
        result = full_path_name(t.data(), current_directory());
    }
    if (based)
        change_directory(recorded.c_str());
    if (result.empty() || result.size() >= SYSUTIL_MAX_PATH)
        return nullptr;
    std::memcpy(out, result.c_str(), result.size() + 1);
    return out;
}

CurrentDirKeeper::CurrentDirKeeper() : saved_{}
{
    std::string cwd = current_directory();
    if (cwd.size() < sizeof saved_)
        std::memcpy(saved_, cwd.c_str(), cwd.size() + 1);
}

CurrentDirKeeper::CurrentDirKeeper(const char* path) : CurrentDirKeeper()
{
    char target[SYSUTIL_MAX_PATH];
    if (_abspath(path, target))
        change_directory(target);
}

CurrentDirKeeper::~CurrentDirKeeper()
{
    change_directory(saved_);
}
