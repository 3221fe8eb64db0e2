// scanf in the console: lines read with the "scanf" prompt, each conversion run
// through the C scanner on the rest of the line with a counting %n behind it.
// White space left at the end of a line fetches a further line when the format
// still holds a conversion that consumes input.
#include "runtime/console/console_state.h"

#include <cctype>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t LINE_BUFFER = 128000;
constexpr int CONV_BUFFER = 32;

bool conversion_letter(char c)
{
    return c && std::strchr("EGX]cdefgiopsux", c) != nullptr;
}

bool only_space(const char* s)
{
    for (; *s; ++s)
        if (!std::isspace(static_cast<unsigned char>(*s)))
            return false;
    return true;
}

// Does the format left still hold a conversion that consumes input?
bool needs_input(const char* f)
{
    for (const char* p = std::strchr(f, '%'); p; p = std::strchr(p, '%')) {
        ++p;
        for (;; ++p) {
            char c = *p;
            if (!c)
                return false;
            if (c == '%' || c == 'n') {
                ++p;
                break;   // needs no input: look for the next one
            }
            if (conversion_letter(c))
                return true;
        }
    }
    return false;
}

// Stores the consumed count through a %n pointer of the size its letters name.
void store_count(const char* conv, void* p, long count)
{
    if (!p)
        return;
    if (std::strstr(conv, "hh"))
        *static_cast<signed char*>(p) = static_cast<signed char>(count);
    else if (std::strchr(conv, 'h'))
        *static_cast<short*>(p) = static_cast<short>(count);
    else if (std::strstr(conv, "ll") || std::strchr(conv, 'L') || std::strchr(conv, 'q'))
        *static_cast<long long*>(p) = count;
    else if (std::strchr(conv, 'l'))
        *static_cast<long*>(p) = count;
    else if (std::strchr(conv, 'j'))
        *static_cast<std::intmax_t*>(p) = count;
    else if (std::strchr(conv, 'z') || std::strchr(conv, 't'))
        *static_cast<std::size_t*>(p) = std::size_t(count);
    else
        *static_cast<int*>(p) = int(count);
}

struct Scan {
    const char* f;
    const char* in;
    long consumed = 0;
    va_list* args;
};

// One conversion, the format at "%". Negative: scanf ends.
int conversion(Scan& s)
{
    char conv[CONV_BUFFER];
    int len = 0;
    conv[len++] = '%';
    ++s.f;
    for (int examined = 0; examined < CONV_BUFFER; ++examined) {
        char c = *s.f;
        if (!c)
            return -1;
        ++s.f;
        if (c == '%') {
            if (*s.in == '%') {
                ++s.in;
                ++s.consumed;
                return 0;
            }
            return -1;
        }
        if (c == 'n') {
            conv[len] = 0;
            store_count(conv, va_arg(*s.args, void*), s.consumed);
            return 0;
        }
        if (conversion_letter(c)) {
            // letter, "%n" and the terminator must fit the conversion buffer
            if (len + 4 > CONV_BUFFER)
                return -1;
            conv[len] = 0;
            // A suppressed conversion stores nothing and takes no pointer; it counts
            // as a failure, which ends scanf.
            if (std::strchr(conv, '*'))
                return -1;
            conv[len++] = c;
            conv[len++] = '%';
            conv[len++] = 'n';
            conv[len] = 0;
            void* target = va_arg(*s.args, void*);
            int read = 0;
            int r = std::sscanf(s.in, conv, target, &read);
            if (r <= 0)
                return -1;
            s.in += read;
            s.consumed += read;
            return r;
        }
        if (len + 1 >= CONV_BUFFER)
            return -1;
        conv[len++] = c;
    }
    return -1;
}

} // namespace

int ostrel_scanf(const char* format, ...)
{
    if (!format)
        return 0;
    va_list ap;
    va_start(ap, format);
    std::vector<char> line(LINE_BUFFER);
    int count = 0;
    Scan s{format, _readline_n(line.data(), line.size(), "scanf"), 0, &ap};
    while (*s.f) {
        if (only_space(s.in) && needs_input(s.f)) {
            s.in = _readline_n(line.data(), line.size(), "scanf");
            continue;
        }
        char c = *s.f;
        if (c == '%') {
            int r = conversion(s);
            if (r < 0)
                break;
            count += r;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            while (*s.in && std::isspace(static_cast<unsigned char>(*s.in))) {
                ++s.in;
                ++s.consumed;
            }
            ++s.f;
        } else {
            if (*s.in != c)
                break;
            ++s.in;
            ++s.f;
            ++s.consumed;
        }
    }
    va_end(ap);
    return count;
}
