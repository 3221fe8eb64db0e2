// printf and its companions: format (bounded to 128,000 characters), turn line
// feeds into CR LF, append at the end of the console in the output format, then
// back to the input format, show the caret position and pump.
#include "runtime/console/console_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int PRINTF_BUFFER = 128000;
constexpr long CONSOLE_MAX = 256000;

// Appends the converted text; `n` is its length.
void append(const char* text, size_t n)
{
    ConsoleState& s = cs();
    _showconsole();
    s.printing_flag = 1;
    HWND t = s.text;
    SendMessageA(t, EM_SETSEL, WPARAM(-1), LPARAM(-1));
    DWORD len = 0;
    SendMessageA(t, EM_GETSEL, reinterpret_cast<WPARAM>(&len), 0);
    if (long(len) + long(n) >= CONSOLE_MAX)
        SetWindowTextA(t, "");
    SendMessageA(t, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&console_output_format));
    SendMessageA(t, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(t, EM_SCROLLCARET, 0, 0);
    SendMessageA(t, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&console_input_format));
    MSG m{t, WM_NULL, 0, 0, 0, {0, 0}};
    _showcaretpos(&m);
    _pumpmessages();
    s.printing_flag = 0;
}

// Prints the formatted text in buf (n characters, n < PRINTF_BUFFER).
int print_text(char* buf, int n)
{
    size_t lf = 0;
    for (int i = 0; i < n; ++i)
        lf += buf[i] == '\n';
    size_t total = size_t(n) + lf;
    if (total <= size_t(PRINTF_BUFFER) - 1) {
        // in place, from the end towards the start, ending at the buffer's last byte
        char* end = buf + PRINTF_BUFFER - 1;
        *end = 0;
        char* dst = end;
        for (int i = n - 1; i >= 0; --i) {
            char c = buf[i];
            *--dst = c;
            if (c == '\n')
                *--dst = '\r';
        }
        append(dst, total);
    } else {
        // too long to convert in place: convert into a copy instead of losing it
        std::string conv;
        conv.reserve(total);
        for (int i = 0; i < n; ++i) {
            if (buf[i] == '\n')
                conv += '\r';
            conv += buf[i];
        }
        append(conv.c_str(), conv.size());
    }
    return n;
}

int vprint(const char* format, va_list args)
{
    char buf[PRINTF_BUFFER];
    int n = std::vsnprintf(buf, sizeof buf, format ? format : "", args);
    if (n < 0 || n >= PRINTF_BUFFER) {
        _setstatus(-1, "error: too many chars in printf");
        ostrel_getchar();
        return -1;
    }
    if (!IsWindow(cs().text)) {
        _pumpmessages();   // no console to print to: a waiting quit still ends the program
        return n;
    }
    return print_text(buf, n);
}

} // namespace

int ostrel_printf(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    int r = vprint(format, ap);
    va_end(ap);
    return r;
}

int _vprintf(const char* format, va_list args)
{
    char buf[PRINTF_BUFFER];
    std::vsnprintf(buf, sizeof buf, format ? format : "", args);
    return ostrel_printf("%s", buf);
}

int _fprintf(FILE* stream, const char* format, ...)
{
    char buf[PRINTF_BUFFER];
    va_list ap;
    va_start(ap, format);
    buf[0] = '\0';
    if (format)
        std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    ostrel_printf("%s", buf);
    return stream ? std::fprintf(stream, "%s", buf) : -1;
}

int _puts(const char* text)
{
    return ostrel_printf("%s\n", text ? text : "") == -1 ? 0 : 1;
}

int _putchar(int c)
{
    return ostrel_printf("%c", c) == -1 ? 0 : c;
}

void _showconsole()
{
    ConsoleState& s = cs();
    if (!IsWindow(s.console) || IsWindowVisible(s.console))
        return;
    if (!s.console_shown_once) {
        _setconsolelimit(256);
        s.console_shown_once = 1;
    }
    ShowWindow(s.console, SW_SHOW);
}
