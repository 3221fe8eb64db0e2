// Character stepping: the UTF-8 replacement of the double-byte scans
// (char_bytes, prev_char, skip_spaces, token_end, token_last_char).
#include "ostrel/sysutil.h"
#include "sysutil/text_internal.h"

#include <cstring>

namespace sysutil_detail {

const char* next_char(const char* p)
{
    int n = char_bytes(p);
    const char* q = p + 1;
    for (int i = 1; i < n && (static_cast<unsigned char>(*q) & 0xC0) == 0x80; ++i)
        ++q;
    return q;
}

void cut_incomplete_tail(char* s)
{
    std::size_t n = std::strlen(s);
    std::size_t lead = n;
    // find the start of the last sequence (at most 3 continuation bytes back)
    for (int back = 0; lead > 0 && back < 4; ++back) {
        --lead;
        if ((static_cast<unsigned char>(s[lead]) & 0xC0) != 0x80)
            break;
    }
    if (lead < n && static_cast<unsigned char>(s[lead]) >= 0xC0) {
        std::size_t have = n - lead;
        if (have < static_cast<std::size_t>(char_bytes(s + lead)))
            s[lead] = '\0';
    }
}

} // namespace sysutil_detail

using sysutil_detail::next_char;

int char_bytes(const char* p)
{
    if (!p)
        return 1;
    unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0xC0 && c < 0xE0)
        return 2;
    if (c >= 0xE0 && c < 0xF0)
        return 3;
    if (c >= 0xF0 && c < 0xF8)
        return 4;
    return 1;
}

char* skip_spaces(const char* p)
{
    if (!p)
        return nullptr;
    while (*p == ' ')
        ++p;
    return const_cast<char*>(p);
}

char* token_end(const char* p)
{
    if (!p)
        return nullptr;
    p = skip_spaces(p);
    bool quoted = false;
    while (*p) {
        if (*p == '"')
            quoted = !quoted;
        else if (*p == ' ' && !quoted)
            break;
        p = next_char(p);
    }
    return const_cast<char*>(p);
}

char* prev_char(const char* start, const char* p)
{
    if (!start || !p || p <= start)
        return const_cast<char*>(p);
    // Walk forward from the start so that a step back lands where a forward
    // scan would have stopped, even inside broken sequences.
    const char* q = start;
    for (;;) {
        if (!*q)
            return const_cast<char*>(p - 1);
        const char* n = next_char(q);
        if (n >= p)
            return const_cast<char*>(q);
        q = n;
    }
}

char* token_last_char(const char* p)
{
    if (!p)
        return nullptr;
    const char* s = skip_spaces(p);
    const char* e = token_end(p);
    if (e == s)
        return const_cast<char*>(e);
    return prev_char(s, e);
}
