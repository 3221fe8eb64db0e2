// Rewriting helpers: replace_all (bounded by its buffer and a step budget) and
// percent_decode.
#include "ostrel/sysutil.h"

#include <cstring>
#include <string>

namespace {

// Replacements that keep the length could in principle cycle for ever; no
// sensible use comes near this many.
constexpr int kMaxReplacements = 100000;

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

int replace_all(char* s, std::size_t size, const char* from, const char* to)
{
    if (!s || !from || !*from || !*s)
        return 1;
    if (!to)
        to = "";
    if (std::strstr(to, from))
        return 0;   // every pass would find the text again
    std::size_t n = strnlen(s, size);
    if (n >= size)
        return 0;
    std::string work(s, n);
    const std::size_t flen = std::strlen(from);
    std::size_t pos = 0;
    for (int steps = 0;; ++steps) {
        std::size_t f = work.find(from, pos);
        if (f == std::string::npos)
            break;
        if (steps >= kMaxReplacements)
            return 0;
        work.replace(f, flen, to);
        if (work.size() >= size)
            return 0;
        // Each pass starts again from the beginning; the text before f did not
        // hold the searched text, so nothing can start earlier than this.
        pos = f >= flen - 1 ? f - (flen - 1) : 0;
    }
    std::memcpy(s, work.c_str(), work.size() + 1);
    return 1;
}

char* percent_decode(const char* source, char* out)
{
    if (!source || !out)
        return nullptr;
    std::size_t r = 0, w = 0;
    // w never passes r, so out may be the source itself
    while (source[r]) {
        int hi, lo;
        if (source[r] == '%' && (hi = hex_value(source[r + 1])) >= 0
            && (lo = hex_value(source[r + 2])) >= 0) {
            out[w++] = static_cast<char>(hi * 16 + lo);
            r += 3;
        } else {
            out[w++] = source[r++];
        }
    }
    out[w] = '\0';
    return out;
}
