/* app_io: formatting in front of the replaceable output table. */
#include "app_io.h"

#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <string>

namespace {

/* Constant-initialised, so static constructors of any unit may already print. */
AppIo custom_io = {};
bool has_custom_io = false;

/* Formats into a string of exactly the needed size, so long paths never cut
 * a message in the middle of a UTF-8 sequence or overrun a fixed buffer. */
std::string vformat_here(const char* format, va_list args);

/* Numbers read the same on the console and in the files whatever locale the
 * toolkit chose: always formatted in the C locale. */
std::string vformat(const char* format, va_list args)
{
    static locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    locale_t previous = uselocale(c_locale);
    std::string out = vformat_here(format, args);
    uselocale(previous);
    return out;
}

std::string vformat_here(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

} // namespace

AppIo app_io_set(const AppIo& io)
{
    AppIo previous = app_io();
    custom_io = io;
    has_custom_io = true;
    return previous;
}

const AppIo& app_io() { return has_custom_io ? custom_io : app_io_runtime(); }

void app_print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    app_io().print(text.c_str());
}

int app_info(const char* caption, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    return app_io().info(caption, text.c_str());
}

int app_yesno(const char* caption, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    return app_io().yesno(caption, text.c_str());
}

int app_getkey() { return app_io().getkey(); }

void app_quit(int code) { app_io().quit(code); }
