// Splitter: an owned copy of a text cut into at most SPLITTER_MAX_PARTS parts
// at a delimiter; runs of delimiters (and delimiters at either end) make no
// empty parts.
#include "ostrel/sysutil.h"

#include <cstring>

Splitter::Splitter() : copy_(nullptr), parts_{}, delimiter_{}, count_(0) {}

Splitter::~Splitter()
{
    delete[] copy_;
}

int Splitter::split(const char* text, const char* delimiter)
{
    delete[] copy_;
    copy_ = nullptr;
    count_ = 0;
    if (!text || !*text || !delimiter)
        return 0;
    std::size_t dlen = std::strlen(delimiter);
    if (dlen > SPLITTER_MAX_DELIMITER)
        return 0;
    std::memcpy(delimiter_, delimiter, dlen + 1);
    std::size_t n = std::strlen(text);
    copy_ = new char[n + 1];
    std::memcpy(copy_, text, n + 1);
    trim_right(copy_);

    char* rest = copy_;
    for (;;) {
        if (dlen)
            while (std::strncmp(rest, delimiter_, dlen) == 0)
                rest += dlen;
        if (!*rest)
            break;
        char* f = dlen && count_ < SPLITTER_MAX_PARTS - 1 ? std::strstr(rest, delimiter_) : nullptr;
        parts_[count_++] = rest;
        if (!f)
            break;   // the last part keeps the rest of the text
        *f = '\0';
        rest = f + dlen;
    }
    return count_;
}

char* Splitter::part(int i) const
{
    return i >= 0 && i < count_ ? parts_[i] : nullptr;
}
