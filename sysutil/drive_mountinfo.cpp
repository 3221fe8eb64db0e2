// The mount table of /proc/self/mountinfo: parsing its lines, telling kernel
// interfaces from file systems that hold files, and finding the mount behind a
// mount point or a path.
#include "sysutil/drives_internal.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace sysutil_detail {

namespace {

bool is_octal(char c) { return c >= '0' && c <= '7'; }

// Splits a line at single spaces (the kernel escapes spaces inside fields).
std::vector<std::string_view> fields_of(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t j = line.find(' ', i);
        if (j == std::string_view::npos)
            j = line.size();
        if (j > i)
            out.push_back(line.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

bool parse_device(std::string_view text, unsigned& major, unsigned& minor)
{
    const std::string s(text);
    char end = 0;
    return std::sscanf(s.c_str(), "%u:%u%c", &major, &minor, &end) == 2;
}

} // namespace

std::string unescape_octal(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && is_octal(text[i + 1]) &&
            is_octal(text[i + 2]) && is_octal(text[i + 3])) {
            const int v = (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
            if (v > 0 && v < 256) {
                out.push_back(static_cast<char>(v));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string escape_octal(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\%03o", static_cast<unsigned char>(c));
            out += buf;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<MountEntry> parse_mountinfo(std::string_view text)
{
    std::vector<MountEntry> out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = text.find('\n', i);
        if (j == std::string_view::npos)
            j = text.size();
        const std::vector<std::string_view> f = fields_of(text.substr(i, j - i));
        i = j + 1;
        // id, parent, major:minor, root, mount point, options, optional
        // fields, "-", type, source, super options (the last may be missing
        // on old kernels).
        std::size_t dash = 6;
        while (dash < f.size() && f[dash] != "-")
            ++dash;
        MountEntry m;
        if (dash + 2 >= f.size() || !parse_device(f[2], m.major, m.minor))
            continue;
        m.mount_point = unescape_octal(f[4]);
        if (m.mount_point.empty() || m.mount_point[0] != '/')
            continue;
        m.fs_type = unescape_octal(f[dash + 1]);
        m.source = unescape_octal(f[dash + 2]);
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<MountEntry> current_mounts()
{
    std::ifstream in("/proc/self/mountinfo", std::ios::binary);
    if (!in)
        return {};
    std::ostringstream all;
    all << in.rdbuf();
    return parse_mountinfo(all.str());
}

bool is_pseudo_fs(const std::string& fs_type)
{
    static const std::array<const char*, 27> pseudo = {
        "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs",
        "debugfs", "tracefs", "pstore", "bpf", "mqueue", "hugetlbfs", "configfs",
        "fusectl", "binfmt_misc", "autofs", "efivarfs", "rpc_pipefs", "nsfs",
        "selinuxfs", "nfsd", "sockfs", "pipefs", "fuse.portal", "fuse.gvfsd-fuse",
        "rootfs"};
    for (const char* p : pseudo)
        if (fs_type == p)
            return true;
    return false;
}

namespace {

bool at_or_below(const std::string& path, const char* dir)
{
    const std::string d = dir;
    return path.compare(0, d.size(), d) == 0 && (path.size() == d.size() || path[d.size()] == '/');
}

} // namespace

bool takes_letter(const MountEntry& m)
{
    return !is_pseudo_fs(m.fs_type) && !at_or_below(m.mount_point, "/proc") &&
           !at_or_below(m.mount_point, "/sys");
}

const MountEntry* mounted_at(const std::vector<MountEntry>& mounts, const std::string& mount_point)
{
    const MountEntry* found = nullptr;
    for (const MountEntry& m : mounts)
        if (m.mount_point == mount_point)
            found = &m;
    return found;
}

const MountEntry* mount_holding(const std::vector<MountEntry>& mounts, const std::string& path)
{
    const MountEntry* found = nullptr;
    std::size_t best = 0;
    for (const MountEntry& m : mounts) {
        const std::string& mp = m.mount_point;
        const bool holds = mp == "/" || (path.compare(0, mp.size(), mp) == 0 &&
                                         (path.size() == mp.size() || path[mp.size()] == '/'));
        // The longest mount point wins; among equal ones the last mounted.
        if (holds && (!found || mp.size() >= best)) {
            found = &m;
            best = mp.size();
        }
    }
    return found;
}

} // namespace sysutil_detail
