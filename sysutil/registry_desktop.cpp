// The desktop's side of a file association (freedesktop.org): the extension's
// MIME type in a mime/packages file, one desktop entry per verb whose Exec line
// is the verb's command line, and the default verb as the type's default
// application in mimeapps.list. The desktop's databases are refreshed with
// update-mime-database and update-desktop-database when they are installed.
#include "ostrel/sysutil.h"
#include "sysutil/registry_internal.h"
#include "sysutil/shell_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace registry_sysutil {
namespace {

std::string home_directory()
{
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

// An XDG base directory: the variable when it holds an absolute path, else the
// default below the home directory.
std::string xdg_dir(const char* variable, const char* below_home)
{
    if (const char* v = std::getenv(variable); v && *v == '/')
        return v;
    const std::string home = home_directory();
    return home.empty() ? "" : home + "/" + below_home;
}

void make_directories(const std::string& dir)
{
    for (std::size_t at = dir.find('/', 1);; at = dir.find('/', at + 1)) {
        ::mkdir(dir.substr(0, at).c_str(), 0755);
        if (at == std::string::npos)
            return;
    }
}

// Lower-case letters and digits, everything else '-': usable in MIME subtypes
// and desktop file ids alike.
std::string slug(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c >= 'A' && c <= 'Z')
            out += char(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out += c;
        else
            out += '-';
    }
    return out;
}

// "Folder" is the directories' type, as its verbs apply to directories.
std::string mime_type_of(const std::string& type_name)
{
    return slug(type_name) == "folder" ? "inode/directory" : "application/x-ostrel-" + slug(type_name);
}

std::string desktop_id_of(const std::string& type_name, const std::string& verb_key)
{
    return "ostrel-" + slug(type_name) + "-" + slug(verb_key) + ".desktop";
}

bool read_file(const std::string& path, std::string* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    *out = s.str();
    return true;
}

// Whole or not at all: a reader never sees half a file.
bool write_file(const std::string& path, const std::string& content)
{
    make_directories(path.substr(0, path.rfind('/')));
    const std::string temporary = path + ".ostrel-" + std::to_string(getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0 && errno != EINTR)
            break;
        done += n > 0 ? std::size_t(n) : 0;
    }
    const bool ok = ::close(fd) == 0 && done == content.size()
                    && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

void run_tool(const char* tool, const std::string& argument)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(tool), const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, tool, &actions, nullptr, argv, environ) == 0)
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    posix_spawn_file_actions_destroy(&actions);
}

std::string xml_escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A string value of a desktop entry, and a word of an Exec line without a field
// code: the desktop-entry rules have one home, with the shortcuts.
std::string entry_escaped(const std::string& s)
{
    return shell_detail::escape_value(s);
}

bool plain_exec_char(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
           || std::strchr("_-./:=,+@%", c);
}

// One argument of an Exec line: "%1" and "%L" become the file's field code,
// "%*" goes, any other '%' is doubled; quoted by the desktop-entry rules when
// it holds anything but plain characters.
std::string exec_argument(const std::string& word, bool* has_file)
{
    const bool names_file = word.find("%1") != std::string::npos || word.find("%L") != std::string::npos ||
                            word.find("%l") != std::string::npos;
    if (!names_file) {
        std::string text;   // "%*" stands for nothing here
        for (std::size_t i = 0; i < word.size(); ++i)
            if (!(word[i] == '%' && i + 1 < word.size() && word[i + 1] == '*'))
                text += word[i];
            else
                ++i;
        return text.empty() && !word.empty() ? text : shell_detail::quote_exec_argument(text);
    }
    // a word holding the file: the field code stays unquoted where the word is plain
    std::string text;
    bool plain = true;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        const char next = i + 1 < word.size() ? word[i + 1] : '\0';
        if (c == '%' && (next == '1' || next == 'L' || next == 'l')) {
            text += "%f";
            *has_file = true;
            ++i;
        } else if (c == '%' && next == '*') {
            ++i;
        } else if (c == '%') {
            text += "%%";
        } else {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                text += '\\';
            plain = plain && plain_exec_char(c);
            text += c;
        }
    }
    return plain ? text : "\"" + text + "\"";
}

} // namespace

// The verb's command line as an Exec value: split into words by the library's
// quoting rules, each word requoted; the file is appended when the command line
// does not name it.
std::string exec_line_of(const std::string& command)
{
    std::vector<char> copy(command.begin(), command.end());
    copy.push_back('\0');
    std::string line;
    bool has_file = false;
    for (char* p = skip_spaces(copy.data()); *p; p = skip_spaces(p)) {
        char* end = token_end(p);
        const bool last = !*end;
        *end = '\0';
        const std::string word = unquote(p);
        const std::string argument = word.empty() ? "\"\"" : exec_argument(word, &has_file);
        if (!argument.empty())
            line += (line.empty() ? "" : " ") + argument;
        if (last)
            break;
        p = end + 1;
    }
    if (!has_file)
        line += line.empty() ? "%f" : " %f";
    return entry_escaped(line);
}

namespace {

// Sets (value non-empty) or removes `key` in `section` of an ini-style file.
void set_ini_entry(std::string* text, const std::string& section, const std::string& key,
                   const std::string& value)
{
    std::vector<std::string> lines;
    std::istringstream in(*text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const std::string header = "[" + section + "]";
    std::size_t at = 0;
    while (at < lines.size() && lines[at] != header)
        ++at;
    if (at == lines.size()) {
        if (value.empty())
            return;
        if (!lines.empty() && !lines.back().empty())
            lines.emplace_back();
        lines.push_back(header);
        at = lines.size() - 1;
    }
    std::size_t end = at + 1;
    while (end < lines.size() && (lines[end].empty() || lines[end][0] != '['))
        ++end;
    bool done = false;
    for (std::size_t i = at + 1; i < end && !done; ++i) {
        if (lines[i].compare(0, key.size() + 1, key + "=") == 0) {
            if (value.empty())
                lines.erase(lines.begin() + std::ptrdiff_t(i));
            else
                lines[i] = key + "=" + value;
            done = true;
        }
    }
    if (!done && !value.empty())
        lines.insert(lines.begin() + std::ptrdiff_t(at + 1), key + "=" + value);
    text->clear();
    for (const std::string& line : lines)
        *text += line + "\n";
}

std::string ini_entry(const std::string& text, const std::string& section, const std::string& key)
{
    std::istringstream in(text);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '[')
            inside = line == "[" + section + "]";
        else if (inside && line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    }
    return "";
}

// Adds or removes one desktop id in a ';'-terminated list.
std::string list_with(const std::string& list, const std::string& id, bool present)
{
    std::string out;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ';');)
        if (!item.empty() && item != id)
            out += item + ";";
    return present ? out + id + ";" : out;
}

void update_mimeapps(const std::string& mime, const std::string& id, bool add, bool make_default)
{
    const std::string config = xdg_dir("XDG_CONFIG_HOME", ".config");
    if (config.empty())
        return;
    const std::string path = config + "/mimeapps.list";
    std::string text;
    read_file(path, &text);
    const std::string before = text;
    set_ini_entry(&text, "Added Associations", mime,
                  list_with(ini_entry(text, "Added Associations", mime), id, add));
    if (add && make_default)
        set_ini_entry(&text, "Default Applications", mime, id);
    else if (!add && ini_entry(text, "Default Applications", mime) == id)
        set_ini_entry(&text, "Default Applications", mime, "");
    if (text != before)
        write_file(path, text);
}

} // namespace

void desktop_associate(const std::string& extension, const std::string& type_name,
                       const std::string& description, const Verb* verb,
                       const std::string& command)
{
    const std::string data = xdg_dir("XDG_DATA_HOME", ".local/share");
    if (data.empty())
        return;
    const std::string mime = mime_type_of(type_name);
    if (extension.size() > 1) {
        const std::string package =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"" + mime + "\">\n"
            "    <comment>" + xml_escaped(description) + "</comment>\n"
            "    <glob pattern=\"*" + xml_escaped(extension) + "\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n";
        const std::string path = data + "/mime/packages/ostrel-ext-" + slug(extension.substr(1)) + ".xml";
        std::string old;
        if (!(read_file(path, &old) && old == package) && write_file(path, package))
            run_tool("update-mime-database", data + "/mime");
    }
    if (!verb)
        return;
    char name[SYSUTIL_TYPE_NAME];
    const std::string menu = verb->menu.substr(0, SYSUTIL_TYPE_NAME - 1);
    strip_ampersands(menu.c_str(), name);
    const std::string id = desktop_id_of(type_name, verb->key);
    const std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=" + entry_escaped(name) + "\n"
        "Exec=" + exec_line_of(command) + "\n"
        "MimeType=" + mime + ";\n"
        "NoDisplay=true\n";
    if (write_file(data + "/applications/" + id, entry)) {
        update_mimeapps(mime, id, true, verb->is_default);
        run_tool("update-desktop-database", data + "/applications");
    }
}

void desktop_unassociate(const std::string& type_name, const Verb& verb)
{
    const std::string data = xdg_dir("XDG_DATA_HOME", ".local/share");
    if (data.empty())
        return;
    const std::string id = desktop_id_of(type_name, verb.key);
    std::remove((data + "/applications/" + id).c_str());
    update_mimeapps(mime_type_of(type_name), id, false, false);
    run_tool("update-desktop-database", data + "/applications");
}

} // namespace registry_sysutil
