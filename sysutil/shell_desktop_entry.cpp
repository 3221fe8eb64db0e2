// Desktop entries, the shortcut files of the freedesktop desktops: reading the
// "Desktop Entry" group of a key file, the string escapes of its values, and the
// quoting of the Exec key's arguments. Written by hand because the one library
// with these rules (GLib's key files and app infos) would bring GLib and its
// main-loop world into the utility library for some hundred lines of text rules.
#include "sysutil/shell_internal.h"

#include <cstring>

namespace shell_detail {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_key_char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool is_locale_char(char c) { return is_key_char(c) || c == '_' || c == '@' || c == '.'; }

// A key with an optional locale: Name, Name[de_DE@euro].
bool valid_key(const std::string& k)
{
    std::size_t i = 0;
    while (i < k.size() && is_key_char(k[i]))
        ++i;
    if (i == 0)
        return false;
    if (i == k.size())
        return true;
    if (k[i] != '[' || k.back() != ']' || k.size() - i < 3)
        return false;
    for (std::size_t j = i + 1; j + 1 < k.size(); ++j)
        if (!is_locale_char(k[j]))
            return false;
    return true;
}

bool valid_group(const std::string& g)
{
    if (g.empty())
        return false;
    for (char c : g)
        if (c == '[' || c == ']' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string unescape_value(const char* p, const char* end)
{
    std::string out;
    out.reserve(std::size_t(end - p));
    while (p < end) {
        if (*p != '\\' || p + 1 == end) {
            out += *p++;
            continue;
        }
        switch (p[1]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += p[0]; out += p[1]; break;   // left for the next layer (Exec quoting)
        }
        p += 2;
    }
    return out;
}

bool is_field_code(const std::string& w)
{
    return w.size() == 2 && w[0] == '%' && w[1] != '\0' && std::strchr("fFuUdDnNickvm", w[1]);
}

}  // namespace

const std::string* DesktopEntry::find(const char* key) const
{
    for (const auto& kv : keys)
        if (kv.first == key)
            return &kv.second;
    return nullptr;
}

bool parse_desktop_entry(const char* data, std::size_t size, DesktopEntry& out)
{
    out.keys.clear();
    if (!data || std::memchr(data, '\0', size))
        return false;
    enum { Before, Main, Other } where = Before;
    const char* p = data;
    const char* const end = data + size;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* eol = nl ? nl : end;
        const char* next = nl ? nl + 1 : end;
        if (eol > p && eol[-1] == '\r')
            --eol;
        const char* s = p;
        p = next;
        while (s < eol && is_blank(*s))
            ++s;
        if (s == eol || *s == '#')
            continue;
        if (*s == '[') {
            const char* close = eol;
            while (close > s && is_blank(close[-1]))
                --close;
            if (close - s < 2 || close[-1] != ']')
                return false;
            const std::string group(s + 1, close - 1);
            if (!valid_group(group))
                return false;
            if (where == Before && group != "Desktop Entry")
                return false;
            where = where == Before ? Main : Other;
            continue;
        }
        const char* eq = static_cast<const char*>(std::memchr(s, '=', std::size_t(eol - s)));
        if (!eq || where == Before)
            return false;
        const char* key_end = eq;
        while (key_end > s && is_blank(key_end[-1]))
            --key_end;
        std::string key(s, key_end);
        if (!valid_key(key))
            return false;
        const char* v = eq + 1;
        while (v < eol && is_blank(*v))
            ++v;
        if (where == Main && !out.find(key.c_str()))
            out.keys.emplace_back(std::move(key), unescape_value(v, eol));
    }
    if (where == Before)
        return false;
    return true;
}

std::string escape_value(const std::string& s)
{
    std::size_t lead = 0;
    while (lead < s.size() && s[lead] == ' ')
        ++lead;
    std::size_t trail = s.size();
    while (trail > lead && s[trail - 1] == ' ')
        --trail;
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ' && (i < lead || i >= trail))
            out += "\\s";   // a reader drops spaces at either end of a value
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string quote_exec_argument(const std::string& arg)
{
    bool quote = arg.empty();
    for (char c : arg)
        if (std::strchr(" \t\n\"'\\><~|&;$*?#()`", c) || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            quote = true;
    std::string out;
    if (quote)
        out += '"';
    for (char c : arg) {
        if (c == '%')
            out += "%%";
        else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            out += '\\', out += c;
        else
            out += c;
    }
    if (quote)
        out += '"';
    return out;
}

bool split_exec(const std::string& exec, std::vector<std::string>& args)
{
    args.clear();
    const std::size_t n = exec.size();
    std::size_t i = 0;
    for (;;) {
        while (i < n && (is_blank(exec[i]) || exec[i] == '\n'))
            ++i;
        if (i == n)
            return true;
        std::string word;
        bool quoted = false;
        while (i < n && !is_blank(exec[i]) && exec[i] != '\n') {
            if (exec[i] != '"') {
                word += exec[i++];
                continue;
            }
            quoted = true;
            ++i;
            for (;;) {
                if (i == n)
                    return false;   // unterminated quote
                const char c = exec[i];
                if (c == '"') {
                    ++i;
                    break;
                }
                if (c == '\\') {
                    if (i + 1 == n || !std::strchr("\"`$\\", exec[i + 1]))
                        return false;
                    word += exec[i + 1];
                    i += 2;
                    continue;
                }
                word += c;
                ++i;
            }
        }
        if (!quoted && is_field_code(word))
            continue;
        std::string plain;
        for (std::size_t k = 0; k < word.size(); ++k) {
            plain += word[k];
            if (word[k] == '%' && k + 1 < word.size() && word[k + 1] == '%')
                ++k;
        }
        args.push_back(std::move(plain));
    }
}

}  // namespace shell_detail
