// Where to cut UTF-8 text that must fit a fixed buffer: never inside a character,
// so a cut title, face name or line is still valid text. Every layer above the
// platform cuts through this one rule. Also the length of UTF-8 text in the
// units the text area counts positions in (UTF-16).
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

// The UTF-16 units of valid UTF-8 text: one per character, two for a character
// beyond the first 65536 (a four-byte sequence).
inline std::size_t utf8_utf16_units(const char* s)
{
    std::size_t n = 0;
    for (; *s; ++s) {
        const unsigned char c = static_cast<unsigned char>(*s);
        if ((c & 0xC0) != 0x80)
            n += c >= 0xF0 ? 2 : 1;
    }
    return n;
}
