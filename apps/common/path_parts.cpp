/* path_parts: UTF-8-safe cuts, quote removal, split and join of paths. */
#include "path_parts.h"

#include <cstring>

void copy_cut(char* out, size_t size, const char* text)
{
    if (!size)
        return;
    size_t n = text ? std::strlen(text) : 0;
    if (n > size - 1) {
        n = size - 1;
        /* step back over continuation bytes so no sequence is split */
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    if (n)
        std::memcpy(out, text, n);
    out[n] = '\0';
}

std::string unquote_path(const char* text)
{
    if (!text)
        return std::string();
    const char* b = text;
    while (*b == ' ' || *b == '\t' || *b == '\n' || *b == '\r')
        ++b;
    const char* e = b + std::strlen(b);
    while (e > b && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\n' || e[-1] == '\r'))
        --e;
    if (b < e && *b == '"') {
        ++b;
        const char* q = static_cast<const char*>(std::memchr(b, '"', static_cast<size_t>(e - b)));
        if (q)
            e = q;
    }
    return std::string(b, static_cast<size_t>(e - b));
}

void split_path(const char* path, PathParts& parts)
{
    parts.drive[0] = parts.dir[0] = parts.fname[0] = parts.ext[0] = '\0';
    if (!path)
        return;
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    std::string dir(path, static_cast<size_t>(name - path));
    const char* dot = std::strrchr(name, '.');
    std::string fname = dot ? std::string(name, static_cast<size_t>(dot - name)) : std::string(name);
    copy_cut(parts.dir, sizeof parts.dir, dir.c_str());
    copy_cut(parts.fname, sizeof parts.fname, fname.c_str());
    copy_cut(parts.ext, sizeof parts.ext, dot ? dot : "");
}

std::string make_path(const char* drive, const char* dir, const char* fname, const char* ext)
{
    std::string out = drive ? drive : "";
    if (dir && *dir) {
        out += dir;
        if (out.back() != '/')
            out += '/';
    }
    if (fname)
        out += fname;
    if (ext && *ext) {
        if (*ext != '.')
            out += '.';
        out += ext;
    }
    return out;
}
