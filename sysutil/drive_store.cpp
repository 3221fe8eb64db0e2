// Where the drive map is kept between runs: a small text file under the
// user's configuration directory, one "letter TAB mount point" line per drive
// (the mount point escaped as in the kernel's mount table).
#include "sysutil/drives_internal.h"
#include "ostrel/sysutil.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sysutil_detail {

namespace {

std::string config_dir()
{
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && x[0] == '/')
        return std::string(x) + "/ostrel";
    if (const char* h = std::getenv("HOME"); h && h[0] == '/')
        return std::string(h) + "/.config/ostrel";
    return {};
}

bool make_dirs(const std::string& dir)
{
    for (std::size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            const std::string part = dir.substr(0, i);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    }
    return true;
}

} // namespace

DriveMap load_drive_map()
{
    DriveMap map;
    const std::string dir = config_dir();
    if (dir.empty())
        return map;
    std::ifstream in(dir + "/drives", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 3 || line[0] < 'A' || line[0] > 'Z' || line[1] != '\t')
            continue;
        std::string mp = unescape_octal(std::string_view(line).substr(2));
        if (mp.empty() || mp[0] != '/' || mp.size() >= SYSUTIL_MAX_PATH)
            continue;
        map[line[0]] = std::move(mp);
    }
    return map;
}

bool save_drive_map(const DriveMap& map)
{
    const std::string dir = config_dir();
    if (dir.empty() || !make_dirs(dir))
        return false;
    std::ostringstream text;
    for (const auto& [letter, mp] : map)
        text << letter << '\t' << escape_octal(mp) << '\n';
    // A whole new file replaces the old one, so a reader never sees half a map.
    const std::string path = dir + "/drives";
    const std::string tmp = path + ".new";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << text.str();
        if (!out.flush())
            return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

std::size_t read_no_drives(unsigned char*, std::size_t)
{
    return 0;
}

} // namespace sysutil_detail
