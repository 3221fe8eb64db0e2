// Trimming and token helpers that rewrite a text in place: trim_left,
// trim_right, trim, unquote, expand_tabs, split_first, is_empty, append_format.
#include "ostrel/sysutil.h"
#include "sysutil/text_internal.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

using sysutil_detail::is_trim_space;
using sysutil_detail::next_char;

char* trim_left(char* s)
{
    if (!s)
        return nullptr;
    char* q = skip_spaces(s);
    if (q != s)
        std::memmove(s, q, std::strlen(q) + 1);
    return s;
}

char* trim_right(char* s)
{
    if (!s)
        return nullptr;
    std::size_t n = std::strlen(s);
    while (n > 0 && is_trim_space(s[n - 1]))
        --n;
    s[n] = '\0';
    return s;
}

char* trim(char* s)
{
    if (s && *s) {
        trim_right(s);
        trim_left(s);
    }
    return s;
}

char* unquote(char* s)
{
    if (!s)
        return nullptr;
    trim(s);
    std::size_t n = std::strlen(s);
    if (n >= 2 && s[0] == '"' && s[n - 1] == '"') {
        std::memmove(s, s + 1, n - 2);
        s[n - 2] = '\0';
        trim(s);
    }
    // every run of adjacent quotes shrinks to one quote
    char* w = s;
    const char* r = s;
    while (*r) {
        if (*r == '"') {
            *w++ = '"';
            while (*r == '"')
                ++r;
            continue;
        }
        const char* e = next_char(r);
        while (r < e)
            *w++ = *r++;
    }
    *w = '\0';
    return s;
}

char* expand_tabs(char* s, int width, std::size_t size)
{
    if (!s)
        return nullptr;
    trim_right(s);
    if (!std::strchr(s, '\t'))
        return nullptr;
    std::size_t limit = size < SYSUTIL_EXPAND_TABS_MAX + 1 ? size : SYSUTIL_EXPAND_TABS_MAX + 1;
    if (width <= 0 || limit == 0)
        return nullptr;
    char work[SYSUTIL_EXPAND_TABS_MAX + 1];
    std::size_t col = 0;
    for (const char* p = s; *p; ++p) {
        std::size_t add = *p == '\t' ? width - col % static_cast<std::size_t>(width) : 1;
        if (col + add >= limit)
            return nullptr;   // would not fit: s keeps its tabs
        if (*p == '\t')
            std::memset(work + col, ' ', add);
        else
            work[col] = *p;
        col += add;
    }
    work[col] = '\0';
    std::memcpy(s, work, col + 1);
    return s;
}

char* split_first(char* s)
{
    if (!s)
        return nullptr;
    if (!*skip_spaces(s)) {
        *s = '\0';
        return nullptr;
    }
    char* e = token_end(s);
    if (!*e)
        return nullptr;
    *e = '\0';
    char* rest = skip_spaces(e + 1);
    return *rest ? rest : nullptr;
}

int is_empty(const char* s)
{
    return !s || !*s ? 1 : 0;
}

int append_format(char* s, std::size_t size, const char* format, ...)
{
    if (!s || !format || size == 0)
        return 0;
    std::size_t n = strnlen(s, size);
    if (n >= size)
        return 0;   // not a terminated text of that buffer
    va_list ap;
    va_start(ap, format);
    int r = std::vsnprintf(s + n, size - n, format, ap);
    va_end(ap);
    if (r < 0) {
        s[n] = '\0';
        return 0;
    }
    if (static_cast<std::size_t>(r) >= size - n) {
        sysutil_detail::cut_incomplete_tail(s);
        return 0;
    }
    return 1;
}
