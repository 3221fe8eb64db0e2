/* settings_text: line pieces (from a stream or from memory), "%s%s" words, atoi/atof in the C locale. */
#include "settings_text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <sys/stat.h>

namespace {

locale_t c_locale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return loc;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/* Copies one word starting at *p, cut to the buffer, and moves *p past it. */
void take_word(const char*& p, char* out, size_t out_size)
{
    size_t n = 0;
    while (*p && !is_space(*p)) {
        if (n + 1 < out_size)
            out[n++] = *p;
        ++p;
    }
    if (out_size)
        out[n] = '\0';
}

} // namespace

int read_text_line(char* buf, int size, std::FILE* file)
{
    if (size < 2)
        return -1;
    /* One thread reads each stream: the unlocked read saves a lock per line. */
    if (!fgets_unlocked(buf, size, file))
        return -1;
    size_t n = std::strlen(buf);
    if (n >= 2 && buf[n - 1] == '\n' && buf[n - 2] == '\r') {
        buf[n - 2] = '\n';
        buf[--n] = '\0';
    } else if (n == static_cast<size_t>(size - 1) && buf[n - 1] == '\r') {
        /* The piece is full and ends in the first half of a line end: a
         * text-mode stream would have given the pair as one line feed. */
        int c = getc_unlocked(file);
        if (c == '\n')
            buf[n - 1] = '\n';
        else if (c != EOF)
            std::ungetc(c, file);
    }
    return static_cast<int>(n);
}

TextSpan text_span(const char* data, size_t size)
{
    /* One look over the whole text spares every piece its own. */
    return TextSpan{data, data + size, std::memchr(data, '\0', size) != nullptr};
}

int take_text_line(char* buf, int size, TextSpan& text)
{
    if (size < 2 || text.next >= text.end)
        return -1;
    /* The piece a line read takes: up to the line feed, at most size - 1
     * characters; a zero byte inside is copied too but ends the count. */
    const char* p = text.next;
    const size_t room = static_cast<size_t>(size - 1);
    size_t take = std::min(room, static_cast<size_t>(text.end - p));
    if (const void* lf = std::memchr(p, '\n', take))
        take = static_cast<size_t>(static_cast<const char*>(lf) - p) + 1;
    size_t n = take;
    if (text.has_zero)
        if (const void* zero = std::memchr(p, '\0', take))
            n = static_cast<size_t>(static_cast<const char*>(zero) - p);
    text.next += take;
    const bool pair = n >= 2 && p[n - 1] == '\n' && p[n - 2] == '\r';
    const bool split_pair = !pair && n == room && p[n - 1] == '\r' && text.next < text.end && *text.next == '\n';
    if (buf) {
        std::memcpy(buf, p, take);
        buf[take] = '\0';
        if (pair) {
            buf[n - 2] = '\n';
            buf[n - 1] = '\0';
        } else if (split_pair) {
            buf[n - 1] = '\n';
        }
    }
    if (pair)
        --n;
    if (split_pair)
        ++text.next;
    return static_cast<int>(n);
}

char* read_stream_text(std::FILE* file, size_t* size)
{
    /* A regular file says how much to expect; one byte more shows the end
     * without a second block. Anything else grows as it arrives. */
    size_t capacity = 1 << 16;
    struct stat st;
    if (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        const off_t at = ftello(file);
        if (at >= 0 && at <= st.st_size)
            capacity = static_cast<size_t>(st.st_size - at) + 1;
    }
    /* A stream without end (a device, a file written to as it is read)
     * stops here instead of taking all memory. */
    const size_t limit = std::max(capacity, size_t(1) << 28);
    char* data = static_cast<char*>(std::malloc(capacity));
    size_t used = 0;
    while (data) {
        used += std::fread(data + used, 1, capacity - used, file);
        if (used < capacity)
            break;
        char* grown = capacity < limit ? static_cast<char*>(std::realloc(data, capacity * 2)) : nullptr;
        if (!grown)
            std::free(data);
        data = grown;
        capacity *= 2;
    }
    *size = data ? used : 0;
    return data;
}

bool split_key_value(const char* line, char* key, size_t key_size, char* value, size_t value_size)
{
    const char* p = line;
    while (is_space(*p))
        ++p;
    if (!*p)
        return false;
    take_word(p, key, key_size);
    while (is_space(*p))
        ++p;
    if (!*p)
        return false;
    take_word(p, value, value_size);
    return true;
}

bool key_is(const char* key, const char* name)
{
    for (;; ++key, ++name) {
        unsigned char a = static_cast<unsigned char>(*key);
        unsigned char b = static_cast<unsigned char>(*name);
        if (a >= 'a' && a <= 'z')
            a = static_cast<unsigned char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<unsigned char>(b - 'a' + 'A');
        if (a != b)
            return false;
        if (!a)
            return true;
    }
}

int parse_int(const char* text)
{
    errno = 0;
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double c_strtod(const char* text, char** end)
{
    return strtod_l(text, end, c_locale());
}

double parse_double(const char* text) { return c_strtod(text, nullptr); }

int c_fprintf(std::FILE* file, const char* format, ...)
{
    locale_t previous = uselocale(c_locale());
    va_list args;
    va_start(args, format);
    int n = std::vfprintf(file, format, args);
    va_end(args);
    uselocale(previous);
    return n;
}
