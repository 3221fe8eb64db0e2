// Runs every in-place text and path helper on arbitrary text. Each call gets a
// heap buffer of exactly the size its contract asks for, so that a write past
// it is an AddressSanitizer report.
//
// Input: one control byte (tab width, replacement sizes), then up to three
// texts separated by 0x01: the text, a search/delimiter text, a replacement.
#include "ostrel/sysutil.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Buf {
    explicit Buf(const std::string& s, std::size_t extra = 0)
        : size(s.size() + 1 + extra), p(new char[size])
    {
        std::memcpy(p.get(), s.c_str(), s.size() + 1);
    }
    std::size_t size;
    std::unique_ptr<char[]> p;
    char* get() { return p.get(); }
};

void check_terminated(const Buf& b)
{
    if (!std::memchr(b.p.get(), '\0', b.size))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t control = data[0];
    std::string all(reinterpret_cast<const char*>(data + 1), size - 1);
    all = all.substr(0, std::strlen(all.c_str()));   // texts end at a NUL
    std::string parts[3];
    {
        std::size_t i = 0;
        for (int k = 0; k < 3; ++k) {
            std::size_t j = k < 2 ? all.find('\x01', i) : std::string::npos;
            parts[k] = all.substr(i, j == std::string::npos ? std::string::npos : j - i);
            if (j == std::string::npos)
                break;
            i = j + 1;
        }
    }
    const std::string& text = parts[0];
    const std::string& other = parts[1];
    const std::string& repl = parts[2];

    // scans
    {
        Buf b(text);
        const char* s = b.get();
        (void)char_bytes(s);
        (void)skip_spaces(s);
        char* e = token_end(s);
        (void)token_last_char(s);
        (void)prev_char(s, e);
        (void)prev_char(s, s + text.size());
        (void)path_name_part(s);
        (void)is_empty(s);
        (void)is_drive_root(s);
        (void)is_on_path(s);
        (void)has_extension(s, other.c_str());
    }
    // in place, never growing
    for (char* (*f)(char*) : {trim_left, trim_right, trim, unquote, strip_backslash, cut_extension,
                              split_first}) {
        Buf b(text);
        f(b.get());
        check_terminated(b);
    }
    {
        Buf b(text);
        percent_decode(b.get(), b.get());
        Buf out(std::string(text.size(), ' '));
        percent_decode(text.c_str(), out.get());
        check_terminated(out);
    }
    // growing by one separator
    {
        Buf b(text, 1);
        add_backslash(b.get());
        Buf c(text, 1);
        path_dir_part(c.get());
        Buf out(std::string(text.size() + 1, ' '));
        path_dir_part(const_cast<char*>(text.c_str()), out.get());
        Buf j(std::string(text.size() + other.size() + 1, ' '));
        join_path(j.get(), text.c_str(), other.c_str());
        Buf k(std::string(text.size(), ' '));
        copy_strip_backslash(text.c_str(), k.get());
    }
    // bounded by their buffer
    {
        std::size_t cap = 1 + control % 64 + text.size();
        Buf b(text, cap - text.size() - 1);
        expand_tabs(b.get(), control % 17, b.size);
        check_terminated(b);
        Buf r(text, control % 32);
        replace_all(r.get(), r.size, other.c_str(), repl.c_str());
        check_terminated(r);
        Buf a(text, control % 8);
        append_format(a.get(), a.size, "%s|%d", other.c_str(), control);
        check_terminated(a);
    }
    {
        Splitter sp;
        int n = sp.split(text.c_str(), other.c_str());
        for (int i = -1; i <= n; ++i)
            if (char* p = sp.part(i))
                (void)std::strlen(p);
    }
    return 0;
}
