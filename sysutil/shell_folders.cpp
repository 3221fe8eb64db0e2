// special_folder: the user's desktop and documents folders as the XDG user
// directories name them (user-dirs.dirs), and a Send To folder of our own in
// the user's data directory, made when first asked for.
#include "ostrel/shell.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// user-dirs.dirs is a few lines; anything much larger is not one.
constexpr long kUserDirsMax = 64 * 1024;

std::string home_dir()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    struct passwd pw;
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// An XDG base directory: the variable when it holds an absolute path (relative
// ones are invalid and ignored), else the default below the home directory.
std::string base_dir(const char* variable, const char* below_home, const std::string& home)
{
    const char* v = std::getenv(variable);
    if (v && v[0] == '/')
        return v;
    return home.empty() ? std::string() : home + below_home;
}

// The value of XDG_<name>_DIR in user-dirs.dirs: "$HOME/..." or an absolute
// path in double quotes; the last line for a name counts, as when the file is
// read by a shell. Empty when absent or unusable.
std::string user_dir(const char* name, const std::string& home)
{
    const std::string config = base_dir("XDG_CONFIG_HOME", "/.config", home);
    if (config.empty())
        return {};
    FILE* f = std::fopen((config + "/user-dirs.dirs").c_str(), "re");
    if (!f)
        return {};
    const std::string key = std::string("XDG_") + name + "_DIR=\"";
    std::string result;
    char line[4096];
    long read_so_far = 0;
    while (read_so_far < kUserDirsMax && std::fgets(line, sizeof line, f)) {
        read_so_far += long(std::strlen(line));
        const char* p = line;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (std::strncmp(p, key.c_str(), key.size()) != 0)
            continue;
        p += key.size();
        std::string value;
        bool closed = false;
        for (; *p && *p != '\n'; ++p) {
            if (*p == '\\' && p[1] && p[1] != '\n') {
                value += *++p;
            } else if (*p == '"') {
                closed = true;
                break;
            } else {
                value += *p;
            }
        }
        if (!closed)
            continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/') && !home.empty())
            result = home + value.substr(5);
        else if (!value.empty() && value[0] == '/')
            result = value;
    }
    std::fclose(f);
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

// Makes the missing levels of an absolute path (private to the user, as the
// data directory is meant to be).
bool make_dirs(const std::string& path)
{
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/')
            continue;
        const std::string level = path.substr(0, i);
        if (mkdir(level.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int special_folder(char* output, const char* name)
{
    if (!output)
        return 0;
    const std::string home = home_dir();
    std::string path;
    if (name && std::strncmp(name, "Personal", 8) == 0) {
        path = user_dir("DOCUMENTS", home);
        if (path.empty())
            path = home;
    } else if (name && std::strncmp(name, "SendTo", 6) == 0) {
        const std::string data = base_dir("XDG_DATA_HOME", "/.local/share", home);
        if (data.empty())
            return 0;
        path = data + "/ostrel/SendTo";
        if (path.size() >= SHELL_PATH_BUFFER || !make_dirs(path))
            return 0;
    } else {
        path = user_dir("DESKTOP", home);
        if (path.empty() && !home.empty())
            path = home + "/Desktop";
    }
    if (path.empty() || path.size() >= SHELL_PATH_BUFFER)
        return 0;
    std::memcpy(output, path.c_str(), path.size() + 1);
    return 1;
}
