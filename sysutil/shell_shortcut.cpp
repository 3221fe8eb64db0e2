// Shortcut files as desktop entries: make_shortcut writes an application entry
// (program and arguments in Exec, working directory in Path, icon in Icon, the
// show mode and icon index in keys of our own so that they come back), whole or
// not at all; shortcut_target reads the program of an application entry or the
// file of a link entry back.
#include "ostrel/shell.h"
#include "ostrel/sysutil.h"
#include "sysutil/shell_internal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace shell_detail;

namespace {

// Larger files are not shortcuts; reading stops there.
constexpr off_t kShortcutFileMax = 1 << 20;

bool fits_path(const char* s) { return std::strlen(s) < SHELL_PATH_BUFFER; }

std::string name_without_extension(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

int show_command(const char* mode)
{
    if (is_null_text(mode))
        return SHORTCUT_SHOW_NORMAL;
    if (std::strstr(mode, "min"))
        return SHORTCUT_SHOW_MINIMIZED;
    if (std::strstr(mode, "max"))
        return SHORTCUT_SHOW_MAXIMIZED;
    return SHORTCUT_SHOW_NORMAL;
}

bool write_all(int fd, const std::string& text)
{
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

// The text goes to a new file beside the target that replaces it when complete,
// so a reader sees the old shortcut or the new one, never a part.
bool replace_file(const std::string& path, const std::string& text)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty())
        return false;
    std::string temp = dir + "/." + base + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const mode_t mask = umask(022);
    umask(mask);
    // executable, as the desktops want a launcher they are to trust
    bool ok = write_all(fd, text) && fchmod(fd, 0755 & ~mask) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), path.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

bool read_small_file(const char* path, std::string& text)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kShortcutFileMax;
    if (ok) {
        text.resize(std::size_t(st.st_size));
        std::size_t have = 0;
        while (have < text.size()) {
            const ssize_t n = read(fd, text.data() + have, text.size() - have);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            have += std::size_t(n);
        }
        text.resize(have);
    }
    close(fd);
    return ok;
}

// The local path of a file: address, or the address itself for other schemes.
bool link_target(const std::string& url, std::string& out)
{
    if (url.compare(0, 7, "file://") != 0) {
        out = url;
        return !url.empty();
    }
    std::string rest = url.substr(7);
    if (rest.compare(0, 9, "localhost") == 0)
        rest.erase(0, 9);
    if (rest.empty() || rest[0] != '/' || rest.find("%00") != std::string::npos)
        return false;   // another host's file, or a name that would end early
    percent_decode(rest.data(), rest.data());
    out = rest.c_str();
    return true;
}

}  // namespace

int make_shortcut(const char* shortcut_file, const char* target, const char* arguments,
                  const char* working_dir, const char* show_mode, const char* icon)
{
    if (!shortcut_file || !*shortcut_file || !fits_path(shortcut_file) || is_null_text(target) || !fits_path(target))
        return 0;
    std::string exec = quote_exec_argument(target);
    if (!is_null_text(arguments)) {
        std::vector<std::string> words;
        if (!split_words(arguments, words))
            return 0;
        for (const std::string& w : words)
            exec += ' ' + quote_exec_argument(w);
    }
    std::string name = name_without_extension(shortcut_file);
    if (name.empty())
        name = name_without_extension(target);
    std::string text = "[Desktop Entry]\nType=Application\nName=" + escape_value(name) + "\nExec=" +
                       escape_value(exec) + "\n";
    if (!is_null_text(working_dir)) {
        if (!fits_path(working_dir))
            return 0;
        text += "Path=" + escape_value(working_dir) + "\n";
    }
    if (!is_null_text(icon)) {
        const char* comma = std::strchr(icon, ',');
        const std::string file = comma ? std::string(icon, comma) : std::string(icon);
        if (!fits_path(file.c_str()))
            return 0;
        if (!file.empty())
            text += "Icon=" + escape_value(file) + "\n";
        const long index = comma ? std::strtol(comma + 1, nullptr, 10) : 0;
        if (index != 0)
            text += "X-Ostrel-Icon-Index=" + std::to_string(index) + "\n";
    }
    const int show = show_command(show_mode);
    if (show != SHORTCUT_SHOW_NORMAL)
        text += "X-Ostrel-Show-Command=" + std::to_string(show) + "\n";
    return replace_file(shortcut_file, text) ? 1 : 0;
}

int shortcut_target(const char* shortcut_file, char* output)
{
    if (output)
        *output = '\0';
    if (!output || !shortcut_file)
        return 0;
    std::string text;
    DesktopEntry entry;
    if (!read_small_file(shortcut_file, text) || !parse_desktop_entry(text.data(), text.size(), entry))
        return 0;
    const std::string* type = entry.find("Type");
    std::string target;
    if (type && *type == "Application") {
        const std::string* exec = entry.find("Exec");
        std::vector<std::string> args;
        if (!exec || !split_exec(*exec, args) || args.empty() || args[0].empty())
            return 0;
        target = args[0];
    } else if (type && *type == "Link") {
        const std::string* url = entry.find("URL");
        if (!url || !link_target(*url, target))
            return 0;
    } else {
        return 0;
    }
    if (target.size() >= SHELL_PATH_BUFFER || target.find('\0') != std::string::npos)
        return 0;
    std::memcpy(output, target.c_str(), target.size() + 1);
    return 1;
}
