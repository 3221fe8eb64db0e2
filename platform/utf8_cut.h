// Where to cut UTF-8 text that must fit a fixed buffer: never inside a character,
// so a cut title, face name or line is still valid text. Every layer above the
// platform cuts through this one rule.
#pragma once
#include <cstddef>

// The length of the longest start of s[0, len) that is at most max bytes and
// does not end inside a UTF-8 sequence.
inline std::size_t utf8_cut(const char* s, std::size_t len, std::size_t max)
{
    if (len <= max)
        return len;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return n;
}
